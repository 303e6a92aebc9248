#include "rules/settings_text.h"

namespace pegdrop {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

Settings ParseSettings(std::string_view text) {
    Settings settings;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, eq));
        if (!key.empty())
            settings.insert_or_assign(std::string(key), std::string(Trim(line.substr(eq + 1))));
    }
    return settings;
}

std::string FormatSettings(const Settings& settings) {
    std::string text;
    for (const auto& [key, value] : settings)
        text += key + "=" + value + "\n";
    return text;
}

} // namespace pegdrop
