#include "ui/dialogs.h"

#include "ui/application.h"
#include "ui/draw3d.h"

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

const FontSpec kDialogFont{"Arial", 8.25f, false};

LabelStyle DialogText(Align align = Align::Left) {
    LabelStyle style;
    style.transparent = true;
    style.font = kDialogFont;
    style.align = align;
    return style;
}

// Opens a dialog over its owner and runs it until it is gone.
void RunDialog(Window& dialog, const Window* owner) {
    dialog.CenterOver(owner);
    dialog.Show();
    App().RunModal(dialog);
}

} // namespace

// ---- Text input

InputDialog::InputDialog(const std::string& prompt, const std::string& title)
    : Window(title, 360, 128), lblPrompt(*this, {12, 10, 260, 76}, DialogText(), prompt),
      txtInput(*this, {12, 94, 336, 22}, kDialogFont), cmdOK(*this, {282, 10, 68, 23}, "OK"),
      cmdCancel(*this, {282, 38, 68, 23}, "Cancel") {
    txtInput.tabIndex = 0;
    cmdOK.tabIndex = 1;
    cmdCancel.tabIndex = 2;
    SetDefaultButton(&cmdOK);
    SetCancelButton(&cmdCancel);
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void InputDialog::cmdOK_Click() {
    result = txtInput.Text();
    Unload();
}

void InputDialog::cmdCancel_Click() {
    result.clear();
    Unload();
}

std::string InputBox(const std::string& prompt, const std::string& title, const Window* owner) {
    InputDialog& dialog = App().Open<InputDialog>(prompt, title);
    RunDialog(dialog, owner);
    std::string result = dialog.result;
    dialog.Unload();
    return result;
}

// ---- Message box

MessageLayout LayOutMessage(const std::string& text, MessageIcon icon) {
    constexpr int kMargin = 12;
    constexpr int kIconSize = 32;
    constexpr int kButtonWidth = 75;
    constexpr int kButtonHeight = 23;
    const TextSize size = MeasureText(App().Fonts(), kDialogFont, text).value_or(TextSize{});
    const int textWidth = size.width;
    const int textHeight = size.height;
    MessageLayout l;
    const int iconRoom = icon == MessageIcon::None ? 0 : kIconSize + kMargin;
    const int textLeft = kMargin + iconRoom;
    const int iconHeight = icon == MessageIcon::None ? 0 : kIconSize;
    const int body = std::max(iconHeight, textHeight);
    // One pixel of slack, so that a wrapping label never breaks the longest line.
    l.text = {textLeft, kMargin + (body - textHeight) / 2, textWidth + 1, textHeight};
    l.icon = {kMargin, kMargin + (body - iconHeight) / 2, kIconSize, iconHeight};
    l.width = std::max(textLeft + textWidth + 1 + kMargin, kButtonWidth + 2 * kMargin + 60);
    const int buttonTop = kMargin + body + 14;
    l.button = {(l.width - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight};
    l.height = buttonTop + kButtonHeight + 11;
    return l;
}

MessageDialog::MessageDialog(const std::string& text, const std::string& title, MessageIcon icon,
                             const MessageLayout& layout)
    : Window(title, layout.width, layout.height),
      imgIcon(*this, layout.icon, icon != MessageIcon::None,
              icon == MessageIcon::Stop ? StopIcon(kButtonFace) : nullptr),
      lblText(*this, layout.text, DialogText(), text), cmdOK(*this, layout.button, "OK") {
    SetDefaultButton(&cmdOK);
    SetCancelButton(&cmdOK);
    cmdOK.Click = [this] { cmdOK_Click(); };
}

void MessageBox(const std::string& text, const std::string& title, MessageIcon icon,
                const Window* owner) {
    MessageDialog& dialog = App().Open<MessageDialog>(text, title, icon, LayOutMessage(text, icon));
    RunDialog(dialog, owner);
    dialog.Unload();
}

std::shared_ptr<const Bitmap> StopIcon(Color ground) {
    constexpr int kSize = 32;
    constexpr int kSamples = 4;
    auto icon = std::make_shared<Bitmap>();
    icon->width = icon->height = kSize;
    icon->pixels.resize(kSize * kSize);
    const float centre = kSize / 2.0f;
    const float radius = 15.0f;
    const Color rim = RGB(128, 0, 0);
    const Color disc = RGB(224, 0, 0);
    const Color cross = RGB(255, 255, 255);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = x + (sx + 0.5f) / kSamples - centre;
                    const float py = y + (sy + 0.5f) / kSamples - centre;
                    const float d = std::sqrt(px * px + py * py);
                    // Distance to the two diagonals of the cross, inside 7 px of the centre.
                    const float diag =
                        std::min(std::abs(px - py), std::abs(px + py)) / std::sqrt(2.0f);
                    const bool inCross =
                        diag <= 1.8f && std::abs(px) <= 7.0f && std::abs(py) <= 7.0f;
                    const Color c = d > radius          ? ground
                                    : d > radius - 1.2f ? rim
                                    : inCross           ? cross
                                                        : disc;
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            constexpr float n = kSamples * kSamples;
            icon->pixels[static_cast<std::size_t>(y * kSize + x)] =
                0xFF000000u | static_cast<std::uint32_t>(r / n + 0.5f) << 16 |
                static_cast<std::uint32_t>(g / n + 0.5f) << 8 |
                static_cast<std::uint32_t>(b / n + 0.5f);
        }
    }
    return icon;
}

} // namespace ui
