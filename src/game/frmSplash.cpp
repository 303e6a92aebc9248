#include "game/frmSplash.h"

#include "game/faces.h"
#include "game/frmBoard.h"
#include "game/images.h"
#include "game/modPegdrop.h"
#include "game/version.h"

#include <string>

namespace {

ui::LabelStyle SmallBlack(ui::Align align, bool autoSize) {
    ui::LabelStyle style;
    style.fore = ui::RGB(0, 0, 0);
    style.transparent = true;
    style.font = faces::kSplash;
    style.align = align;
    style.autoSize = autoSize;
    return style;
}

} // namespace

FrmSplash::FrmSplash()
    : ui::Window("Form1", 480, 336),
      lblVersion(*this, {8, 8, 42, 15}, SmallBlack(ui::Align::Left, true), "Version"),
      lblCopyright(*this, {40, 292, 400, 44}, SmallBlack(ui::Align::Center, false),
                   "Copyright \xC2\xA9 2026 The Pegdrop developers\r\nFree to play and share") {
    SetBackground(pegdrop::images::Splash());
    SetIcon(pegdrop::images::Icon());
    lblVersion.Click = [this] { lblVersion_Click(); };
    lblCopyright.Click = [this] { lblCopyright_Click(); };
}

void FrmSplash::Form_Load() {
    if (const std::string reason = modPegdrop::UseStartFolder(); !reason.empty()) {
        ui::App().Fail(reason);
        return;
    }
    lblVersion.SetCaption("Version " + std::to_string(pegdrop::kVersionMajor) + "." +
                          std::to_string(pegdrop::kVersionMinor));
    modPegdrop::PlaySound("pegdrop.wav");
}

void FrmSplash::Form_Click() {
    Unload();
    modPegdrop::frmBoard.Load();
}
