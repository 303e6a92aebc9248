// speed.dat as any bytes: the reader's value is a speed the window could
// set and one the writer keeps, the file reader sees its first bytes, a
// speed the window sets reads back, and what follows the first line cannot
// change it.
#include "fuzz_check.h"
#include "game/data_files.h"
#include "rules/speed_setting.h"
#include "scratch_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace pegdrop;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::int16_t speed = ParseSpeed(bytes);
    FUZZ_CHECK(speed >= kMinSpeed && speed <= kMaxSpeed);
    // The file reader looks at the first bytes only.
    static ScratchFile file("speed.dat");
    FUZZ_CHECK(ReadSpeedFile(file.Hold(bytes)) == ParseSpeed(bytes.substr(0, kSpeedReadLimit)));
    const std::string written = FormatSpeed(speed);
    FUZZ_CHECK(ParseSpeed(written) == speed);
    FUZZ_CHECK(ParseSpeed(written + std::string(bytes)) == speed);
    FUZZ_CHECK(written.ends_with("\r\n"));

    // Only a number, after blanks, can give anything but the default.
    const std::size_t start = bytes.find_first_not_of(" \t");
    const bool number =
        start != std::string_view::npos &&
        std::string_view("+-0123456789").find(bytes[start]) != std::string_view::npos;
    if (!number)
        FUZZ_CHECK(speed == kDefaultSpeed);

    // The speed window sets 1 to 500.
    if (size >= 2) {
        const auto set = static_cast<std::int16_t>(1 + (data[0] | data[1] << 8) % 500);
        FUZZ_CHECK(ParseSpeed(FormatSpeed(set)) == set);
    }
    return 0;
}
