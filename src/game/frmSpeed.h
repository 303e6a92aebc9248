// The speed window: a setting from 1 to 500 typed in, tried on a small test
// board at the typed value, then taken (OK) or dropped (Cancel). Modeless: the
// board behind it stays usable, even while a test chip falls.
#pragma once

#include "ui/application.h"
#include "ui/button.h"
#include "ui/textbox.h"

#include <cstdint>
#include <functional>

class FrmSpeed : public ui::Window {
public:
    FrmSpeed();
    // The text of its first picture that no data changes, rendered ahead
    // at the scale it will open at.
    static void RenderTextAhead();

    void Form_Load() override;
    // The close box is Cancel; it is disabled with Cancel while a chip falls.
    void Form_CloseBox() override;
    void txtSpeed_KeyPress(std::int32_t& KeyAscii);
    void txtSpeed_Change();
    void txtSpeed_LostFocus(ui::Control* now);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdTest_Click();

    ui::Label lblInputSpeed;
    ui::TextBox txtSpeed;
    ui::Button cmdTest;
    ui::Image imgBoard;
    ui::Shape shpChip;
    ui::Button cmdOK;
    ui::Button cmdCancel;

    // The value typed in the box; OK makes it the speed.
    std::int16_t NewSpeed = 0;

    // Each step's counts (the step wait), replaceable like the board's, so
    // that tests see the speed each step reads without making the counts.
    std::function<std::int32_t(std::int16_t)> stepWait;
    // The yield of the test run; tests count it and still pass it on.
    std::function<void()> yield;
};

namespace speed {
inline const char* const kPrompt = "Input a speed value from 1 to 500:";
inline const char* const kRangeMessage = "Please input a value between 1 and 500";
inline const char* const kRangeTitle = "Illegal value";
} // namespace speed
