// The hint window as a JUCE window of its own.
#include "host/hint_window.h"

#include "host/juce_image.h"

#include "gui/forms.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace gui::detail {

namespace {

class HintWindow final : public juce::Component {
public:
    HintWindow()
    {
        setOpaque(true);
        setAlwaysOnTop(true);
        addToDesktop(juce::ComponentPeer::windowIsTemporary | juce::ComponentPeer::windowIgnoresKeyPresses |
                     juce::ComponentPeer::windowIgnoresMouseClicks);
    }
    void Show(const TBitmap& picture, TPoint at, std::string_view text)
    {
        image_ = SurfaceImage(picture.Surface());
        setName(juce::String::fromUTF8(text.data(), static_cast<int>(text.size())));
        setBounds(at.X, at.Y, picture.Width(), picture.Height());
        setVisible(true);
        toFront(false);
        repaint();
    }
    void paint(juce::Graphics& g) override { g.drawImageAt(image_, 0, 0); }

private:
    juce::Image image_;
};

std::unique_ptr<HintWindow>& Window()
{
    static std::unique_ptr<HintWindow> window;
    return window;
}

}  // namespace

void ShowHintWindow(const TBitmap& picture, TPoint at, std::string_view text)
{
    if (!Application->Presenting() || picture.Surface().empty()) return;
    if (!Window()) Window() = std::make_unique<HintWindow>();
    Window()->Show(picture, at, text);
}

void HideHintWindow()
{
    if (Window()) Window()->setVisible(false);
}

}  // namespace gui::detail
