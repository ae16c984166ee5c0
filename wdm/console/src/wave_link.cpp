#include "console/CBmpStash.h"
#include "console/wave_config.h"

namespace {

// A copy of the stash's face; none while the console has no stash.
void ShowFace(TImage& image, int face)
{
    if (BmpStash != nullptr) image.Picture()->Assign(*BmpStash->GetBitmap(face));
}

}  // namespace

TWaveLink::TWaveLink(TComponent* owner, int index, bool output) : TImage(owner), FIndex(index), FOutput(output)
{
    SetTransparent(true);
    SetAutoSize(true);
    ShowFace(*this, LINK_BUTTON_UNLINKED_BMP);
}

void TWaveLink::SetLinked(bool on)
{
    ShowFace(*this, on ? LINK_BUTTON_LINKED_BMP : LINK_BUTTON_UNLINKED_BMP);
    FLinked = on;
}
