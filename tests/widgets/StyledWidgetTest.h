#pragma once

// The fixture of the widget tests: the test application with the "white"
// style the build makes, so widgets take the skins and metrics they ship
// with.

#include "foundation/Application.h"
#include "ui/UIManager.h"

#include "tests/ui/WindowTesting.h"

class StyledWidgetTest : public WidgetTest {
protected:
    static void SetUpTestSuite()
    {
        WidgetTest::SetUpTestSuite();
        ASSERT_TRUE(UIManager::instance()->loadStyle(Application::instance()->applicationDirectory() +
                                                     L"\\..\\white.style"));
    }
};
