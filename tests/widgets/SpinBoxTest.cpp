#include "foundation/Locale.h"
#include "ui/TimerService.h"
#include "ui/widgets/UILineEdit.h"
#include "ui/widgets/UISpinBox.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/ui/WidgetTestKit.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <windows.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

// Only the number symbols, whatever the machine's regional settings.
class NumberLocaleSource : public LocaleSource {
public:
    NumberLocaleSource(const wchar_t* point, const wchar_t* group) : m_point(point), m_group(group) {}

    std::uint32_t localeId() const override { return 0x7FFF0001; }
    String text(std::uint32_t type) const override
    {
        switch (type) {
        case LOCALE_SDECIMAL:
            return m_point;
        case LOCALE_STHOUSAND:
            return m_group;
        case LOCALE_SNEGATIVESIGN:
            return L"-";
        case LOCALE_SNATIVEDIGITS:
            return L"0123456789";
        default:
            return String();
        }
    }

private:
    const wchar_t* m_point;
    const wchar_t* m_group;
};

// The pointer and the number format the box reads, set by each test.
class FakeSpinBoxServices : public UISpinBoxServices {
public:
    Point cursor;
    const Locale* numbers = nullptr;

    Point cursorPosition() const override { return cursor; }
    const Locale& locale() const override { return *numbers; }
};

class SpinBoxTest : public StyledWidgetTest {
protected:
    static void SetUpTestSuite()
    {
        StyledWidgetTest::SetUpTestSuite();
        dotSource = new NumberLocaleSource(L".", L",");
        commaSource = new NumberLocaleSource(L",", L".");
        dotLocale = new Locale(*dotSource);
        commaLocale = new Locale(*commaSource);
    }

    void SetUp() override
    {
        fake.numbers = dotLocale;
        UISpinBox::setServices(&fake);
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 60, 60, 200, 60);
        box = new UISpinBox(window.get());
        box->setGeometry(10, 10, 120, 24);
        box->show();
        box->valueChanged.connect(&recorder, &SignalRecorder::onSignal);
    }

    void TearDown() override
    {
        window.reset();
        UISpinBox::setServices(nullptr);
        StyledWidgetTest::TearDown();
    }

    UIValidator::State validate(String text, int position = -1) const
    {
        int cursor = position < 0 ? text.length() : position;
        return box->lineEdit()->validator()->validate(text, cursor);
    }
    void type(const wchar_t* text) { box->lineEdit()->setText(text); }
    String shown() const { return box->lineEdit()->text(); }
    void press(Point p, int button = LeftButton, std::uint32_t modifiers = 0)
    {
        send(*box, UIMouseEvent(MousePressEventType, p, button, button, modifiers));
    }
    void release(Point p) { send(*box, mouseEvent(MouseReleaseEventType, p)); }
    void pointAt(Point local) { fake.cursor = box->mapToGlobal(local); }
    int repeatInterval() const { return TimerService::interval(box, SpinBoxRepeatTimerId); }

    static NumberLocaleSource* dotSource;
    static NumberLocaleSource* commaSource;
    static Locale* dotLocale;
    static Locale* commaLocale;
    FakeSpinBoxServices fake;
    std::unique_ptr<RecordingWidget> window;
    UISpinBox* box = nullptr;
    SignalRecorder recorder;
};

NumberLocaleSource* SpinBoxTest::dotSource = nullptr;
NumberLocaleSource* SpinBoxTest::commaSource = nullptr;
Locale* SpinBoxTest::dotLocale = nullptr;
Locale* SpinBoxTest::commaLocale = nullptr;

} // namespace

TEST_F(SpinBoxTest, NewBoxAndReversedRange)
{
    EXPECT_EQ(box->minimum(), 0.0);
    EXPECT_EQ(box->maximum(), 1.0);
    EXPECT_EQ(box->value(), 0.0);
    EXPECT_EQ(shown(), String(L"0"));
    box->setRange(10, 5);
    EXPECT_EQ(box->minimum(), 5.0);
    EXPECT_EQ(box->maximum(), 10.0);
    EXPECT_EQ(box->value(), 5.0);
    EXPECT_EQ(shown(), String(L"5"));
    box->setDefaultValue(7);
    box->setRange(20, 30);
    EXPECT_EQ(box->value(), 20.0);
    EXPECT_EQ(box->defaultValue(), 20.0);
    EXPECT_EQ(recorder.count, 2);
}

// Values beyond int's range used to convert with undefined results.
TEST_F(SpinBoxTest, ValueIntTruncatesAndClampsToTheIntRange)
{
    constexpr int lowest = std::numeric_limits<int>::min();
    constexpr int highest = std::numeric_limits<int>::max();
    box->setRange(-1e300, 1e300);
    struct Row {
        double value;
        int expected;
    };
    const Row rows[] = {
        {-2.7, -2}, {2.7, 2}, {2147483647.9, highest}, {-2147483648.9, lowest}, {1e12, highest}, {-1e300, lowest},
    };
    forEachRow(rows, [&](const Row& row) {
        box->setValue(row.value);
        EXPECT_EQ(box->valueInt(), row.expected) << row.value;
    });
}

TEST_F(SpinBoxTest, StepsClampOrWrap)
{
    struct Row {
        double step;
        double start;
        int steps;
        bool wrapping;
        double expected;
    };
    const Row rows[] = {{1, 5, 1, false, 6},     {1, 10, 1, false, 10},  {1, 0, -1, false, 0},
                        {1, 10, 1, true, 0},     {1, 0, -1, true, 10},   {3, 9, 1, true, 0},
                        {3, 9, 1, false, 10},    {2.5, 5, -2, false, 0}, {2.5, 1, -1, true, 10}};
    forEachRow(rows, [&](const Row& row) {
        box->setRange(0, 10);
        box->setValue(row.start);
        box->setSingleStep(row.step);
        box->setWrapping(row.wrapping);
        box->stepBy(row.steps);
        EXPECT_EQ(box->value(), row.expected);
    });
}

TEST_F(SpinBoxTest, TypedNumbersAreJudgedByRangeAndDecimals)
{
    struct Row {
        double minimum;
        double maximum;
        int decimals;
        const wchar_t* text;
        UIValidator::State state;
    };
    using S = UIValidator::State;
    const Row rows[] = {
        {0, 100, 2, L"1.234", S::Invalid},
        {0, 100, 2, L"1.23", S::Acceptable},
        {0, 100, 2, L"", S::Intermediate},
        {5, 5, 2, L"", S::Invalid},
        {0, 100, 0, L"-", S::Intermediate},
        {1, 100, 0, L"-", S::Invalid},
        {0, 100, 0, L"+", S::Intermediate},
        {-100, -1, 0, L"+", S::Invalid},
        {-10, 10, 1, L"-.", S::Intermediate},
        {0, 10000, 0, L"1,234", S::Acceptable},
        {0, 999, 0, L"1,234", S::Invalid},
        {0, 10000, 0, L"1,,234", S::Invalid},
        {0, 10000, 0, L"12,", S::Acceptable},
        {0, 10000, 0, L"12,,", S::Invalid},
        {0, 10000, 2, L"1.2,3", S::Invalid},
        // The locale's reader stopped at the comma and took "1,5" for 1.
        {0, 100, 2, L"1,5", S::Invalid},
        {0, 100, 0, L"150", S::Invalid},
        {10, 100, 0, L"5", S::Intermediate},
        {-100, -10, 0, L"-5", S::Intermediate},
        {0, 100, 0, L"1 2", S::Invalid},
        {0, 100, 0, L" 12 ", S::Acceptable},
        {0, 100, 0, L"abc", S::Invalid},
    };
    forEachRow(rows, [&](const Row& row) {
        box->setRange(row.minimum, row.maximum);
        box->setDecimals(row.decimals);
        EXPECT_EQ(validate(row.text), row.state);
    });
}

TEST_F(SpinBoxTest, SecondPointTypedOnTheFirstIsDropped)
{
    box->setRange(0, 100);
    box->setDecimals(2);
    String text(L"1..5");
    int cursor = 2;
    EXPECT_EQ(box->lineEdit()->validator()->validate(text, cursor), UIValidator::Acceptable);
    EXPECT_EQ(text, String(L"1.5"));
    text = L"1..5";
    cursor = 4;
    EXPECT_EQ(box->lineEdit()->validator()->validate(text, cursor), UIValidator::Invalid);
}

TEST_F(SpinBoxTest, PrefixSuffixAndSpecialText)
{
    box->setRange(0, 100);
    box->setPrefix(L"$");
    box->setSuffix(L" kg");
    EXPECT_EQ(shown(), String(L"$0 kg"));
    box->setSpecialValueText(L"Auto");
    EXPECT_TRUE(box->isSpecialValueShown());
    EXPECT_EQ(shown(), String(L"Auto"));
    EXPECT_EQ(validate(L"Auto"), UIValidator::Acceptable);
    struct Row {
        const wchar_t* typed;
        const wchar_t* completed;
        UIValidator::State state;
    };
    const Row rows[] = {{L"5", L"$5 kg", UIValidator::Acceptable},
                        {L"$ 7 kg", L"$7 kg", UIValidator::Acceptable},
                        {L"$x kg", L"$x kg", UIValidator::Invalid}};
    forEachRow(rows, [&](const Row& row) {
        String text(row.typed);
        int cursor = 0;
        EXPECT_EQ(box->lineEdit()->validator()->validate(text, cursor), row.state);
        EXPECT_EQ(text, String(row.completed));
    });
    type(L"$ 42 kg");
    EXPECT_EQ(box->value(), 42.0);
    EXPECT_EQ(box->cleanText(), String(L"42"));
    type(L"Auto");
    EXPECT_EQ(box->value(), 0.0);
}

TEST_F(SpinBoxTest, TypedTextStaysUntilEditingFinishes)
{
    box->setRange(0, 100);
    type(L"7.");
    EXPECT_EQ(box->value(), 7.0);
    EXPECT_EQ(shown(), String(L"7."));
    type(L"200");
    EXPECT_EQ(box->value(), 7.0);
    SignalRecorder finished;
    box->editingFinished.connect(&finished, &SignalRecorder::onSignal);
    box->lineEdit()->editingFinished.emit();
    EXPECT_EQ(shown(), String(L"7"));
    EXPECT_EQ(finished.count, 1);
}

TEST_F(SpinBoxTest, DecimalsInTheUsersFormat)
{
    fake.numbers = commaLocale;
    box->setRange(0, 10000);
    box->setDecimals(2);
    box->setValue(1.5);
    EXPECT_EQ(shown(), String(L"1,50"));
    type(L"1.234,25");
    EXPECT_EQ(box->value(), 1234.25);
    EXPECT_EQ(validate(L"1.5"), UIValidator::Acceptable);
    EXPECT_EQ(validate(L"1,5.0"), UIValidator::Invalid);
    box->lineEdit()->editingFinished.emit();
    EXPECT_EQ(shown(), String(L"1234,25"));
}

TEST_F(SpinBoxTest, HeldButtonRepeatsFasterAndFaster)
{
    box->setRange(0, 100);
    const Point up = box->upButtonRect().center();
    pointAt(up);
    press(up);
    EXPECT_EQ(box->value(), 1.0);
    EXPECT_EQ(repeatInterval(), 500);
    std::vector<int> intervals;
    for (int tick = 0; tick < 6; ++tick) {
        box->timerEvent(SpinBoxRepeatTimerId);
        intervals.push_back(repeatInterval());
    }
    EXPECT_EQ(intervals, (std::vector<int>{400, 300, 200, 100, 10, 10}));
    EXPECT_EQ(box->value(), 7.0);
    pointAt(box->downButtonRect().center());
    box->timerEvent(SpinBoxRepeatTimerId);
    EXPECT_EQ(box->value(), 6.0);
    pointAt({2, 2});
    box->timerEvent(SpinBoxRepeatTimerId);
    EXPECT_EQ(box->value(), 6.0);
    release(up);
    EXPECT_FALSE(box->isTimerActive(SpinBoxRepeatTimerId));
}

TEST_F(SpinBoxTest, RightClickWheelAndReadOnly)
{
    box->setRange(0, 100);
    box->setDefaultValue(30);
    const Point down = box->downButtonRect().center();
    press(down, RightButton, ControlModifier);
    EXPECT_EQ(box->value(), 100.0);
    release(down);
    press(down, RightButton);
    EXPECT_EQ(box->value(), 30.0);
    release(down);
    send(*box, UIWheelEvent(1, down, 120, 0, WheelUp));
    EXPECT_EQ(box->value(), 31.0);
    send(*box, UIWheelEvent(1, {5, 5}, 120, 0, WheelUp));
    EXPECT_EQ(box->value(), 31.0);
    box->setReadOnly(true);
    send(*box, UIWheelEvent(1, down, -120, 0, WheelDown));
    press(down);
    EXPECT_EQ(box->value(), 31.0);
    EXPECT_FALSE(box->isTimerActive(SpinBoxRepeatTimerId));
    release(down);
}

TEST_F(SpinBoxTest, DraggingAboveOrBelowCoversTheRange)
{
    box->setRange(0, 100);
    box->setValue(50);
    press({5, 5});
    send(*box, mouseEvent(MouseLeaveEventType, {5, -20}, NoButton));
    ASSERT_TRUE(box->isTimerActive(SpinBoxDragTimerId));
    struct Row {
        int y;
        double expected;
    };
    const Row rows[] = {{-2, 50}, {-100000, 100}, {100000, 0}, {26, 0}};
    forEachRow(rows, [&](const Row& row) {
        pointAt({5, row.y});
        box->timerEvent(SpinBoxDragTimerId);
        EXPECT_EQ(box->value(), row.expected);
    });
    release({5, 5});
    EXPECT_FALSE(box->isTimerActive(SpinBoxDragTimerId));
}

// The drag offset divided by maximum - minimum: an empty range has none.
TEST_F(SpinBoxTest, EmptyRangeSurvivesADrag)
{
    box->setRange(4, 4);
    press({5, 5});
    send(*box, mouseEvent(MouseLeaveEventType, {5, -20}, NoButton));
    EXPECT_FALSE(box->isTimerActive(SpinBoxDragTimerId));
    pointAt({5, -100000});
    box->timerEvent(SpinBoxDragTimerId);
    EXPECT_EQ(box->value(), 4.0);
    release({5, 5});
}
