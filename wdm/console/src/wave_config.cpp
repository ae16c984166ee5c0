#include "console/wave_config.h"

#include <algorithm>
#include <cstring>

#include "console/card_restart.h"
#include "console/start_up.h"
#include "console/wave_config_restart.h"

namespace {

constexpr int FirstRowTop = 40;
constexpr int RowPitch = 30;
constexpr int HeaderTop = 15;
constexpr TColor WdmColour = static_cast<TColor>(0x846C00);
constexpr TColor NimbrelColour = static_cast<TColor>(0xC0A000);
constexpr TColor WidthColour = static_cast<TColor>(0x00FF00);
constexpr int SmallestBufferSize = 64;
constexpr int LargestBufferSize = 8192;
constexpr int DefaultBufferItem = 3;  // "512"

WORD RowsFor(WORD pipes) { return static_cast<WORD>(std::min(pipes / 2, WAVE_ROWS)); }

TLabel* RowLabel(TComponent* owner, TWinControl* parent, int left, int top, int width, int height, TColor colour)
{
    auto* label = new TLabel(owner);
    label->SetAutoSize(false);
    label->SetParent(parent);
    label->SetBounds(left, top, width, height);
    label->SetAlignment(taCenter);
    label->SetColor(colour);
    return label;
}

TShape* Frame(TComponent* owner, TWinControl* parent, int left, int top, int width, TColor brush)
{
    auto* shape = new TShape(owner);
    shape->SetParent(parent);
    shape->SetBounds(left, top, width, 20);
    shape->Brush()->Color = brush;
    return shape;
}

void Header(TComponent* owner, TWinControl* parent, const char* caption, int left, int width)
{
    TLabel* label = RowLabel(owner, parent, left, HeaderTop, width, 20, clBtnFace);
    label->SetTransparent(true);
    label->SetText(caption);
}

// Letters, digits, space and the 22 characters a card name may hold; every
// other byte becomes '-'.
std::string SafeName(const std::string& name)
{
    static const char Allowed[] = "$%'-_@~`!{}()#&+,;=[].";
    std::string safe = name;
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        const bool kept = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == ' ' ||
                          (u != 0 && std::strchr(Allowed, u) != nullptr);
        if (!kept) c = '-';
    }
    return safe;
}

}  // namespace

TWaveConfig::TWaveConfig(TComponent* owner, CDaveror* card)
    : TForm(owner),
      FCard(card),
      FCaps(&card->Caps()),
      FOutputRows(RowsFor(card->Caps().OutputPipes)),
      FInputRows(RowsFor(card->Caps().InputPipes))
{
    CreateDesign();
    // Changes the text, so Apply is enabled here; step 7 decides its state.
    CardName->SetText(FCard->GetCardName());

    // A request that fails leaves the record zeroed: no devices.
    WaveConfigRecord record{};
    FCard->GetWaveConfig(&record);

    BuildSide(true);
    const int height = FirstRowTop + RowPitch * FOutputRows;
    OutputsBox->SetHeight(height);
    InputsBox->SetHeight(height);
    const int buttonsTop = height + OutputsBox->Top() + 10;
    for (TButton* button : {ApplyButton, OkButton, CancelButton, HelpButton}) button->SetTop(buttonsTop);
    SetClientHeight(buttonsTop + ApplyButton->Height() + 10);
    BuildSide(false);

    for (bool output : {true, false}) {
        FillSide(output, output ? record.Outputs : record.Inputs, output ? record.OutputCount : record.InputCount);
        for (int i = 0; i < Rows(output); ++i) {
            WaveConfigRow& row = Row(output, i);
            if (row.Link != nullptr && Row(output, i + 1).Width == 0) row.Link->SetLinked(true);
            RefreshModeLabel(row);
        }
        RefreshDisplay(output);
    }

    for (int size = SmallestBufferSize; size <= LargestBufferSize; size *= 2)
        NmBufferSizeCombo->Items()->Add(Format("%d", size));
    DWORD bufferSize = 0;
    FCard->GetWaveBufferSize(&bufferSize);
    const int item = NmBufferSizeCombo->Items()->IndexOf(Format("%u", bufferSize));
    NmBufferSizeCombo->SetItemIndex(item >= 0 ? item : DefaultBufferItem);

    ApplyButton->SetEnabled((record.Flags & WAVE_CONFIG_IN_EFFECT) == 0);
}

TWaveConfig::~TWaveConfig() { FCard->CloseTransport(); }

void TWaveConfig::BuildSide(bool output)
{
    TGroupBox* box = output ? OutputsBox : InputsBox;
    if (FCard->CanLinkWaveDevices()) Header(this, box, "Link", 4, 30);
    Header(this, box, "Width", 160, 50);
    Header(this, box, "Mode", 210, 76);
    for (int i = 0; i < Rows(output); ++i) {
        BuildRow(output, i, FirstRowTop + RowPitch * i);
        Row(output, i).NameLabel->SetText(RowName(output, i));
    }
}

void TWaveConfig::BuildRow(bool output, int index, int top)
{
    TGroupBox* box = output ? OutputsBox : InputsBox;
    WaveConfigRow& row = Row(output, index);
    const TMouseMoveEvent linkHelp = HelpOver(&WaveHelp::Link);
    if (index + 1 < Rows(output) && FCard->CanLinkWaveDevices()) {
        row.Link = new TWaveLink(this, index, output);
        row.Link->SetParent(box);
        row.Link->SetLeft(10);
        row.Link->SetTop(top + 14);
        row.Link->Tag = index;
        row.Link->OnClick = [this, link = row.Link](TObject*) { LinkClick(link); };
        row.Link->OnMouseMove = linkHelp;
    }
    row.NameFrame = Frame(this, box, 34, top, 130, clWhite);
    row.NameLabel = RowLabel(this, box, 46, top + 2, 106, 16, clWhite);
    row.NameLabel->OnMouseMove = HelpOver(&WaveHelp::Name);
    row.WidthFrame = Frame(this, box, 170, top, 30, clBlack);
    row.WidthLabel = RowLabel(this, box, 172, top + 2, 26, 16, clBlack);
    row.WidthLabel->Font()->SetColor(WidthColour);
    row.WidthLabel->Font()->SetStyle({fsBold});
    row.WidthLabel->OnMouseMove = HelpOver(&WaveHelp::Width);
    row.ModeFrame = Frame(this, box, 210, top, 76, WdmColour);
    row.ModeFrame->SetShape(stRoundRect);
    row.ModeLabel = RowLabel(this, box, 213, top + 3, 70, 14, WdmColour);
    row.ModeLabel->Font()->SetColor(clWhite);
    row.ModeLabel->SetText("WDM");
    row.ModeLabel->Tag = index;
    row.ModeLabel->OnClick = [this, output, index](TObject*) { ModeClick(output, index); };
    const bool wdmOnly = PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    row.ModeLabel->OnMouseMove = HelpOver(wdmOnly ? &WaveHelp::ModeWdmOnly : &WaveHelp::Mode);
}

std::string TWaveConfig::RowName(bool output, int index) const
{
    const int p = 2 * index;
    if (output) {
        if (FCaps->VirtualOutputs != 0) return Format("Virtual out %d-%d", p + 1, p + 2);
        if (p < FCaps->AnalogOutputPipes) return Format("Analog out %d-%d", p + 1, p + 2);
        const int d = p - FCaps->AnalogOutputPipes;
        return Format("Digital out %d-%d", d + 1, d + 2);
    }
    if ((FCaps->InputFlags[p] & INPUT_FLAG_ABSENT) != 0) return Format("Dummy in %d-%d", p + 1, p + 2);
    if (p < FCaps->AnalogInputPipes) return Format("Analog in %d-%d", p + 1, p + 2);
    const int d = p - FCaps->AnalogInputPipes;
    return Format("Digital in %d-%d", d + 1, d + 2);
}

void TWaveConfig::FillSide(bool output, const WaveConfigEntry* entries, WORD count)
{
    // Records from the card driver may hold more entries than rows, and
    // widths of 0, odd or past the side's last row: each device gets at
    // least one row, its width is even, and it ends at the last row.
    const int rows = Rows(output);
    const int devices = std::min<int>(count, WAVE_CONFIG_ENTRIES);
    int r = 0;
    for (int e = 0; e < devices && r < rows; ++e) {
        const int width = std::max<int>(entries[e].Width, 2) & ~1;
        const int span = std::min(width / 2, rows - r);
        Row(output, r).Width = static_cast<WORD>(2 * span);
        Row(output, r).Mode = entries[e].Mode;
        for (int k = 1; k < span; ++k) Row(output, r + k).Width = 0;
        r += span;
    }
}

void TWaveConfig::RecomputeWidths(bool output)
{
    const int rows = Rows(output);
    for (int r = 0; r < rows; ++r) {
        const int first = r;
        int width = 2;
        while (r + 1 < rows && Row(output, r).Link != nullptr && Row(output, r).Link->Linked()) {
            width += 2;
            Row(output, ++r).Width = 0;
        }
        Row(output, first).Width = static_cast<WORD>(width);
    }
}

void TWaveConfig::RefreshDisplay(bool output)
{
    for (int r = 0; r < Rows(output); ++r) {
        WaveConfigRow& row = Row(output, r);
        const bool starts = row.Width != 0;
        if (starts) {
            row.WidthLabel->SetText(Format("%d", row.Width));
            row.NameFrame->SetHeight(row.Width / 2 * RowPitch - 10);
        }
        for (TControl* control : {static_cast<TControl*>(row.WidthLabel), static_cast<TControl*>(row.WidthFrame),
                                  static_cast<TControl*>(row.NameFrame), static_cast<TControl*>(row.ModeFrame),
                                  static_cast<TControl*>(row.ModeLabel)})
            control->SetVisible(starts);
    }
}

void TWaveConfig::RefreshModeLabel(WaveConfigRow& row)
{
    TColor colour;
    if (row.Mode == WAVE_MODE_WDM) {
        row.ModeLabel->SetText("WDM");
        colour = WdmColour;
    } else if (row.Mode == WAVE_MODE_NIMBREL) {
        row.ModeLabel->SetText("Nimbrel");
        colour = NimbrelColour;
    } else {
        return;
    }
    row.ModeLabel->SetColor(colour);
    row.ModeFrame->Brush()->Color = colour;
    row.ModeFrame->Invalidate();
}

void TWaveConfig::LinkClick(TWaveLink* link)
{
    const bool output = link->Output();
    link->SetLinked(!link->Linked());
    WaveConfigRow& row = Row(output, link->Index());
    if (link->Linked() && row.Mode == WAVE_MODE_NIMBREL) {
        row.Mode = WAVE_MODE_WDM;
        RefreshModeLabel(row);
    }
    RecomputeWidths(output);
    RefreshDisplay(output);
    ApplyButton->SetEnabled(true);
}

void TWaveConfig::ModeClick(bool output, int index)
{
    if (PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return;
    ApplyButton->SetEnabled(true);
    WaveConfigRow& row = Row(output, index);
    if (row.Mode == WAVE_MODE_WDM) {
        if (row.Link != nullptr && row.Link->Linked()) {
            row.Link->SetLinked(false);
            RecomputeWidths(output);
            RefreshDisplay(output);
        }
        row.Mode = WAVE_MODE_NIMBREL;
    } else if (row.Mode == WAVE_MODE_NIMBREL) {
        row.Mode = WAVE_MODE_WDM;
    }
    RefreshModeLabel(row);
}

void TWaveConfig::NmBufferSizeComboChange(TObject*) { ApplyButton->SetEnabled(true); }

WaveConfigRecord TWaveConfig::Shown() const
{
    WaveConfigRecord record{};
    for (bool output : {true, false}) {
        WaveConfigEntry* entries = output ? record.Outputs : record.Inputs;
        WORD& count = output ? record.OutputCount : record.InputCount;
        for (int r = 0; r < Rows(output); ++r) {
            const WaveConfigRow& row = FRows[(output ? 0 : WAVE_ROWS) + r];
            if (row.Width == 0) continue;
            entries[count++] = WaveConfigEntry{static_cast<BYTE>(row.Mode), static_cast<BYTE>(row.Width)};
        }
    }
    return record;
}

void TWaveConfig::ApplyButtonClick(TObject*)
{
    const int item = NmBufferSizeCombo->ItemIndex();
    if (item >= 0) FCard->SetWaveBufferSize(static_cast<DWORD>(StrToInt(NmBufferSizeCombo->Items()->Strings(item))));

    WaveConfigRecord current{};
    FCard->GetWaveConfig(&current);
    WaveConfigRecord shown = Shown();
    const bool sameConfig = SameWaveConfig(current, shown);
    const std::string name = CardName->Text();
    const bool sameName = name == FCard->GetCardName();
    if (!sameConfig || !sameName) {
        FCard->SetWaveConfig(&shown);
        FCard->SetCardName(SafeName(name).c_str());
    }
    if (sameConfig && sameName && (current.Flags & WAVE_CONFIG_IN_EFFECT) != 0) return;
    BringWaveConfigIntoEffect(*this);
}

void TWaveConfig::OkButtonClick(TObject* Sender)
{
    ApplyButtonClick(Sender);
    SetModalResult(mrOk);
}

void TWaveConfig::CancelButtonClick(TObject*) { SetModalResult(mrCancel); }
