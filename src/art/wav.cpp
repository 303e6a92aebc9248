#include "art/cues.h"

#include "platform/files.h"

#include <limits>

namespace art {
namespace {

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

void PutLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> EncodeWav(const Cue& cue) {
    constexpr std::uint32_t kHeaderBytes = 44;
    const std::size_t dataBytes = cue.samples.size() * 2;
    if (cue.sampleRate <= 0 || cue.sampleRate > std::numeric_limits<std::int32_t>::max() / 2 ||
        dataBytes > std::numeric_limits<std::uint32_t>::max() - kHeaderBytes)
        return {};
    const auto rate = static_cast<std::uint32_t>(cue.sampleRate);
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + dataBytes);
    PutTag(out, "RIFF");
    PutLittle(out, static_cast<std::uint32_t>(kHeaderBytes - 8 + dataBytes), 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLittle(out, 16, 4);       // fmt chunk size
    PutLittle(out, 1, 2);        // PCM
    PutLittle(out, 1, 2);        // channels
    PutLittle(out, rate, 4);     // frames per second
    PutLittle(out, rate * 2, 4); // bytes per second
    PutLittle(out, 2, 2);        // bytes per frame
    PutLittle(out, 16, 2);       // bits per sample
    PutTag(out, "data");
    PutLittle(out, static_cast<std::uint32_t>(dataBytes), 4);
    for (std::int16_t s : cue.samples)
        PutLittle(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

bool WriteWavFile(const std::string& path, const Cue& cue) {
    const std::vector<std::uint8_t> bytes = EncodeWav(cue);
    if (bytes.empty())
        return false;
    return static_cast<bool>(platform::WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

} // namespace art
