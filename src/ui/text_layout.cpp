#include "ui/text_layout.h"

namespace ui {
namespace {

void BreakParagraph(std::string_view paragraph, int width,
                    const std::function<int(std::string_view)>& measure,
                    std::vector<std::string>& lines) {
    std::size_t start = 0;
    while (true) {
        // Grow the line a word at a time while it fits.
        std::size_t end = paragraph.find(' ', start);
        if (end == std::string_view::npos)
            end = paragraph.size();
        while (end < paragraph.size()) {
            std::size_t next = paragraph.find(' ', end + 1);
            if (next == std::string_view::npos)
                next = paragraph.size();
            if (measure(paragraph.substr(start, next - start)) > width)
                break;
            end = next;
        }
        std::string_view line = paragraph.substr(start, end - start);
        while (!line.empty() && line.back() == ' ')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = paragraph.find_first_not_of(' ', end);
        if (start == std::string_view::npos)
            return;
    }
}

} // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    return BreakLines(text, 0, {});
}

std::vector<std::string> BreakLines(std::string_view text, int width,
                                    const std::function<int(std::string_view)>& measure) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last)
            end = text.size();
        const std::string_view paragraph = text.substr(start, end - start);
        if (width <= 0 || measure(paragraph) <= width)
            lines.emplace_back(paragraph);
        else
            BreakParagraph(paragraph, width, measure, lines);
        if (last)
            return lines;
        start = end + 1;
    }
}

} // namespace ui
