#pragma once

#include "widgets/Controls/Button.h"

namespace Gui::Controls
{

// A button that holds a checked state; pressing it toggles the state (unchecking when AllowUncheck says
// so) instead of firing the press event.
class CheckBox : public Button
{
public:
    explicit CheckBox(Base* parent);

    virtual void SetChecked(bool checked);
    virtual bool IsChecked() const { return m_checked; }
    virtual bool AllowUncheck() { return true; }

    void Render(Skin::Base* skin) override;
    void Press() override;
    void Toggle() override { SetChecked(!IsChecked()); }

    Event::Caller onChecked;
    Event::Caller onUnChecked;
    Event::Caller onCheckChanged;

private:
    bool m_checked = false;
};

} // namespace Gui::Controls
