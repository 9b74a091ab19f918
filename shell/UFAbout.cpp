#include "shell/UFAbout.h"

TFAbout* FAbout = nullptr;

TFAbout::TFAbout(QWidget* parent) : ui::Form(parent)
{
    setupUi(this);
    setPosition(ui::Position::MainFormCenter);
    Button1->OnClick = [this] { Button1Click(); };
}

void TFAbout::Button1Click()
{
    closeForm();
}
