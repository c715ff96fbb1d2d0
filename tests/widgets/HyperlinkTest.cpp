#include "ui/widgets/UILink.h"

#include "ui/UIStyleValues.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>
#include <vector>

namespace {

// A clock the test sets and a shell that only records what it was asked
// to open: under Wine the real one starts a browser.
class FakeLinkServices : public UILinkServices {
public:
    std::int64_t milliseconds() const override { return now; }
    void shellOpen(const String& target) override { opened.push_back(target); }

    std::int64_t now = 10000;
    std::vector<String> opened;
};

class HyperlinkTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        UILink::setServices(&services);
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 40, 40, 320, 120);
        link = new UILink(window.get(), L"Visit the web site", L"https://www.example.com/");
        const Size hint = link->sizeHint();
        link->setGeometry(20, 20, hint.width, hint.height);
        link->show();
        link->clicked.connect(&clicks, &SignalRecorder::onSignal);
        pumpPending();
    }

    void TearDown() override
    {
        UILink::setServices(nullptr);
        StyledWidgetTest::TearDown();
    }

    void click(UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) { clickCentre(*window, *link, down, up); }

    FakeLinkServices services;
    std::unique_ptr<RecordingWidget> window;
    UILink* link = nullptr;
    SignalRecorder clicks;
};

TEST_F(HyperlinkTest, ASecondClickWithin200MillisecondsOnlyEmitsClicked)
{
    struct Row {
        int gap;
        int opened;
    };
    const Row rows[] = {{0, 1}, {120, 1}, {200, 1}, {201, 2}, {5000, 2}};
    forEachRow(rows, [&](const Row& row) {
        services.opened.clear();
        clicks.count = 0;
        services.now += 1000;
        click();
        services.now += row.gap;
        click();
        EXPECT_EQ(int(services.opened.size()), row.opened);
        EXPECT_EQ(clicks.count, 2);
    });
    EXPECT_EQ(services.opened.front(), String(L"https://www.example.com/"));
}

TEST_F(HyperlinkTest, OnlyALeftClickActsAndAnEmptyTargetOpensNothing)
{
    click(WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(clicks.count, 0);
    EXPECT_TRUE(services.opened.empty());

    link->setTarget(String());
    click();
    EXPECT_EQ(clicks.count, 1);
    EXPECT_TRUE(services.opened.empty());
}

TEST_F(HyperlinkTest, FontAndPensFollowHoverModePointerAndEnabling)
{
    const FontDesc plain = parseFontValue(L"default,12,");
    const FontDesc hovered = parseFontValue(L"default,12,underline");
    link->setFont(plain);
    link->setHoveredFont(hovered);
    // Each pen gets its own red: its place in this list, from 1.
    const wchar_t* penNames[] = {L"foreground", L"shadowForeground", L"hoveredForeground",
                                 L"hoveredShadowForeground", L"disabledForeground", L"disabledShadowForeground"};
    for (int i = 0; i < 6; ++i)
        link->setStyleProperty(penNames[i], String::number(i + 1) + L",0,0");
    enum : int { Text = 1, Shadow = 2, HoveredText = 3, HoveredShadow = 4, DisabledText = 5, DisabledShadow = 6 };
    struct Row {
        int mode;
        bool pointerOver;
        bool enabled;
        bool hoveredFont;
        int shadow;
        int text;
    };
    const Row rows[] = {
        {LinkHoverKeepsShadow, false, true, false, Shadow, Text},
        {LinkHoverKeepsShadow, true, true, true, Shadow, HoveredText},
        {LinkHoverKeepsShadow, false, false, false, DisabledShadow, DisabledText},
        {LinkHoverKeepsShadow, true, false, false, DisabledShadow, DisabledText},
        {LinkHoverChangesAll, false, true, false, Shadow, Text},
        {LinkHoverChangesAll, true, true, true, HoveredShadow, HoveredText},
        {LinkHoverChangesAll, false, false, false, DisabledShadow, DisabledText},
        {LinkHoverChangesAll, true, false, false, DisabledShadow, DisabledText},
        {LinkAlwaysHovered, false, true, true, HoveredShadow, Text},
        {LinkAlwaysHovered, true, true, true, HoveredShadow, HoveredText},
        {LinkAlwaysHovered, false, false, true, DisabledShadow, DisabledText},
        {LinkAlwaysHovered, true, false, true, DisabledShadow, DisabledText},
    };
    forEachRow(rows, [&](const Row& row) {
        link->setHoverMode(row.mode);
        link->setEnabledRecursive(row.enabled);
        const UILinkLook look = link->look(row.pointerOver);
        EXPECT_EQ(look.font, row.hoveredFont ? hovered : plain);
        EXPECT_EQ(look.shadow.colour(), Colour(std::uint8_t(row.shadow), 0, 0));
        EXPECT_EQ(look.text.colour(), Colour(std::uint8_t(row.text), 0, 0));
    });
}

TEST_F(HyperlinkTest, TheToolTipNamesTheTarget)
{
    link->setToolTipPrefix(L"Open ");
    EXPECT_EQ(link->toolTipText(), String(L"Open https://www.example.com/"));
    // The link's own tip used to keep naming the first target.
    link->setTarget(L"https://www.example.org/");
    EXPECT_EQ(link->toolTipText(), String(L"Open https://www.example.org/"));

    link->setToolTip(L"Our home page");
    link->setTarget(L"https://www.example.net/");
    EXPECT_EQ(link->toolTipText(), String(L"Our home page")) << "a tip the owner set stays";
    EXPECT_EQ(link->cursor(), Cursor(CursorHand));
}

} // namespace
