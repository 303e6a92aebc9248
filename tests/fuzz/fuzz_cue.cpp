// A cue file as any bytes, through SDL's wave loader and our conversion to
// the device's format: it plays as whole frames of that format, or not at all.
#include "fuzz_check.h"
#include "game/cue_player.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace pegdrop;

namespace {

void CheckDecode(std::string_view bytes, const SDL_AudioSpec& device) {
    const std::optional<std::vector<Uint8>> samples = DecodeCue(bytes, device);
    if (!samples)
        return;
    const std::size_t frame = SDL_AUDIO_BITSIZE(device.format) / 8 * device.channels;
    // The device takes whole frames; a cut one would end the cue on part of
    // a sample.
    FUZZ_CHECK(samples->size() % frame == 0);
}

} // namespace

// SDL's loader reserves the size a header claims for its data, up to 4 GiB,
// before it reads what is there. For the game that is address space only,
// given back at once; under AddressSanitizer it takes seconds. Such a request
// fails here, as it would on a system that does not overcommit memory.
extern "C" const char* __asan_default_options() {
    return "max_allocation_size_mb=64:allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // What the player asks for, and what a device may give instead.
    static const std::array<SDL_AudioSpec, 4> kDevices = {
        AudioFormat(44100, AUDIO_S16SYS, 2), AudioFormat(48000, AUDIO_S16SYS, 2),
        AudioFormat(22050, AUDIO_S16SYS, 1), AudioFormat(44100, AUDIO_F32SYS, 6)};
    CheckDecode(bytes, kDevices[0]);
    if (const std::size_t other = size % 4; other != 0)
        CheckDecode(bytes, kDevices[other]);
    return 0;
}
