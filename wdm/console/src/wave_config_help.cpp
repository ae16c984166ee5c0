// The wave-device configuration dialog's help memo, and its place on the desktop.
#include "console/wave_config.h"

namespace WaveHelp {
const std::string General = "Move the mouse pointer on top of one of the controls.";
const std::string Link =
    "Click here to link or unlink audio channels together.  Some audio software works more efficiently with "
    "linked channels.  Linking channels together also enables surround sound.";
const std::string Name = "The name of the audio channel.";
const std::string Width = "The number of audio channels currently linked together.";
const std::string ModeWdmOnly = "Only WDM mode is supported for this version of Windows.";
const std::string Mode =
    "Click to choose either WDM or Nimbrel mode.  WDM mode gives you wave, DirectSound, and DirectKS support; "
    "however, some applications may not work in 24 bit mode.  In addition, WDM mode may not result in a perfect, "
    "bit-for-bit audio transfer.  Nimbrel only provides wave API support, but guarantees perfect bit-for-bit "
    "transfers.  (ASIO and GSIF work either way.)";
const std::string CardName =
    "You can set the name of the card here; this is useful for when you have multiple pieces of Zavo hardware "
    "installed.";
const std::string BufferSize = "This lets you tune the latency of the Nimbrel driver.";
}  // namespace WaveHelp

namespace {

// The memo's height and what the form grows by to show it.
constexpr int HelpHeight = 60;

}  // namespace

void TWaveConfig::ShowHelp(const std::string* text)
{
    if (text == FHelpText) return;
    FHelpText = text;
    HelpMemo->Lines()->Clear();
    HelpMemo->Lines()->Add(*text);
}

TMouseMoveEvent TWaveConfig::HelpOver(const std::string* text)
{
    return [this, text](TObject*, TShiftState, int, int) { ShowHelp(text); };
}

void TWaveConfig::FormMouseMove(TObject*, TShiftState, int, int) { ShowHelp(&WaveHelp::General); }

void TWaveConfig::CardNameMouseMove(TObject*, TShiftState, int, int) { ShowHelp(&WaveHelp::CardName); }

void TWaveConfig::NmBufferSizeLabelMouseMove(TObject*, TShiftState, int, int) { ShowHelp(&WaveHelp::BufferSize); }

void TWaveConfig::HelpButtonClick(TObject*)
{
    FHelpShown = !FHelpShown;
    if (FHelpShown) {
        HelpButton->SetText("Hide help");
        HelpMemo->SetVisible(true);
        ShowHelp(&WaveHelp::General);
        SetHeight(Height() + HelpHeight);
    } else {
        HelpButton->SetText("Show help");
        HelpMemo->SetVisible(false);
        SetHeight(Height() - HelpHeight);
    }
}

void TWaveConfig::FormActivate(TObject*)
{
    if (Top() < 0)
        SetTop(0);
    else if (Top() + Height() > Screen->DesktopHeight())
        SetTop(Screen->DesktopHeight() - Height());
    if (Left() < 0)
        SetLeft(0);
    else if (Left() + Width() > Screen->DesktopWidth())
        SetLeft(Screen->DesktopWidth() - Width());
}
