// The board window: game flow, aiming, the descent, settlement and lights.
// It keeps no state variable: every handler decides by GameMode, the chip's
// visibility, ChipY and the running timers.
#pragma once

#include "ui/application.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class FrmBoard : public ui::Window {
public:
    FrmBoard();
    // The text of its first picture that no data changes, rendered ahead
    // at the scale it will open at.
    static void RenderTextAhead();

    void Form_Load() override;
    void NewGame();
    void FirstChip();
    void DropChip();
    void Form_KeyPress(std::int16_t& KeyAscii) override;
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void Form_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    // Left and Right aim a waiting chip 2 pixels (20 with Shift), Down drops it.
    void Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) override;
    // A game controller's stick aims as the arrows do, at a pace that follows
    // how far it is pushed.
    void Form_PadStick(float push, double seconds) override;
    // A controller's A drops the chip as Down does and its d-pad's Left and
    // Right aim as the arrows do; Up and Down do nothing.
    void Form_PadButton(Uint8 button) override;
    // Closing the board leaves the program, whatever else is open; it saves nothing.
    void Form_CloseBox() override { ui::App().EndProgram(); }
    void tmrAfterChip_Timer();
    void tmrRestart_Timer();
    void tmrFlash_Timer();
    void tmrSpaceFlash_Timer();
    void tmrScoreFlash_Timer();
    // The muted mark shown or hidden as modPegdrop::Muted says.
    void ShowMuted();

    ui::Timer tmrScoreFlash;
    ui::Timer tmrRestart;
    ui::Timer tmrFlash;
    ui::Timer tmrAfterChip;
    ui::Timer tmrSpaceFlash;
    ui::Label lblMessage;
    ui::Image img100left;
    ui::Image img500left;
    ui::Image img1000left;
    ui::Image img0left;
    ui::Image img10000;
    ui::Image img0right;
    ui::Image img1000right;
    ui::Image img500right;
    ui::Image img100right;
    ui::Label lblScoreboard;
    ui::Shape shpChip;
    ui::Image imgMuted;

    std::int16_t ChipX = 0;
    std::int16_t ChipY = 0;
    std::int16_t ChipDirection = 0;
    std::int16_t LandedSlot = 0;
    std::int16_t ChipsLeft = 0;
    std::int16_t FlashStep = 0;

    // The slot images left to right: slot n is SlotImage(n).
    ui::Image& SlotImage(int slot) { return *slotImages_.at(static_cast<std::size_t>(slot - 1)); }
    // Each step's counts (the step wait), replaceable so that tests can see
    // the speed every step reads and report counts without making them; the
    // step then lasts as long as the counts returned take on the reference.
    std::function<std::int32_t(std::int16_t)> stepWait;

    // The stick all the way over aims this many pixels a second.
    static constexpr double kStickPixelsPerSecond = 300.0;

private:
    void PlaceChip();
    void HideSlotImages();
    std::array<ui::Image*, 9> slotImages_;
    double stickCarry_ = 0; // the stick's travel not yet a whole pixel
};

namespace board {
inline constexpr ui::Color kScoreText = ui::RGB(255, 224, 240);
inline constexpr ui::Color kScoreBack = ui::RGB(230, 0, 0);
inline const char* const kModePrompt = "Select game mode:\r\n[T]ournament mode or [F]un mode";
inline const char* const kCountPrompt =
    "How many Pegdrop chips will you be playing this time (1-9)?";
inline const char* const kDragPrompt =
    "Drag the Pegdrop chip across the top of the board, and release it anyplace you wish";
} // namespace board
