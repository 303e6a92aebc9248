// The start-up window: fixes the data folder, shows the version, and opens the
// board on a click.
#pragma once

#include "ui/application.h"

class FrmSplash : public ui::Window {
public:
    FrmSplash();

    void Form_Load() override;
    void Form_Click() override;
    // Closing the first window leaves the program.
    void Form_CloseBox() override { ui::App().EndProgram(); }
    void lblVersion_Click() { Form_Click(); }
    void lblCopyright_Click() { Form_Click(); }

    ui::Label lblVersion;
    ui::Label lblCopyright;
};
