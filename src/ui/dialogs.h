// The modal dialogs: a text-input box and a message box with an OK button.
// Both run in the modal loop: every window keeps painting and every timer
// ticking behind them, and input reaches the dialog alone.
#pragma once

#include "ui/button.h"
#include "ui/controls.h"
#include "ui/textbox.h"
#include "ui/window.h"

#include <memory>
#include <string>

namespace ui {

class InputDialog : public Window {
public:
    InputDialog(const std::string& prompt, const std::string& title);
    // The close box is Cancel.
    void Form_CloseBox() override { cmdCancel_Click(); }
    void cmdOK_Click();
    void cmdCancel_Click();

    Label lblPrompt;
    TextBox txtInput;
    Button cmdOK;
    Button cmdCancel;
    std::string result; // what OK took; empty after Cancel
};

// Asks for one line of text, centred over owner (the screen for nullptr).
// Returns the text as typed, or "" for Cancel or the close box.
std::string InputBox(const std::string& prompt, const std::string& title,
                     const Window* owner = nullptr);

enum class MessageIcon : std::uint8_t { None, Stop };

struct MessageLayout {
    int width = 0;
    int height = 0;
    Rect icon;
    Rect text;
    Rect button;
};
MessageLayout LayOutMessage(const std::string& text, MessageIcon icon);

class MessageDialog : public Window {
public:
    MessageDialog(const std::string& text, const std::string& title, MessageIcon icon,
                  const MessageLayout& layout);
    void Form_CloseBox() override { cmdOK_Click(); }
    void cmdOK_Click() { Unload(); }

    Image imgIcon;
    Label lblText;
    Button cmdOK;
};

// Shows the text until OK (Enter, Esc or Space) or the close box.
void MessageBox(const std::string& text, const std::string& title, MessageIcon icon,
                const Window* owner = nullptr);

// The error icon: a red disc with a white cross, 32 x 32, on the given ground.
std::shared_ptr<const Bitmap> StopIcon(Color ground);

} // namespace ui
