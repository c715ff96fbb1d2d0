#pragma once

// UIDialog: a modal window, centred on its placement area. Showing it runs
// a nested event loop; done(result) stores the result and closes it, and the
// caller reads result() after the show returns. Escape rejects. When the
// system option is on, the pointer moves to the default button once shown.

#include "ui/UIWindow.h"

class UIDialog : public UIWindow {
public:
    UIDialog(UIWidget* parent, std::uint32_t windowFlags);
    ~UIDialog() override;

    int result() const { return m_result; }
    void setResult(int result) { m_result = result; }

    virtual void accept();
    virtual void reject();
    virtual void done(int result);

    // The default button the pointer snaps to: a visible, enabled default
    // "UIButton" among the children, or among the grandchildren below one
    // child that is not a button; null when there is none.
    UIWidget* snapTarget() const;

protected:
    void keyPressEvent(UIKeyEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void showEvent(UIShowEvent* event) override;
    void closeEvent(UICloseEvent* event) override;

private:
    void snapPointerToDefaultButton();

    int m_result = 0;
};
