// The standard images of the style: the message box icons at three sizes,
// folders, the window's caption buttons and the focus mark.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

const Colour white(255, 255, 255);
const Colour glyphGrey(74, 79, 87);
const Colour informationBlue(45, 127, 211);
const Colour questionTeal(38, 145, 130);
const Colour warningAmber(242, 169, 0);
const Colour warningInk(58, 58, 58);
const Colour criticalRed(214, 69, 65);
const Colour helpSlate(107, 116, 128);
const Colour folderBack(233, 174, 60);
const Colour folderFront(247, 201, 92);
const Colour focusBlue(74, 144, 226);

void badge(Canvas& c, Colour colour)
{
    c.layer(colour, [](Shapes& s) { s.circle(0.5f, 0.5f, 0.47f); });
}

void questionMark(Shapes& s)
{
    s.arc(0.5f, 0.38f, 0.2f, 0.1f, 165, -80);
    s.rect(0.45f, 0.5f, 0.1f, 0.13f);
    s.circle(0.5f, 0.76f, 0.07f);
}

void information(Canvas& c)
{
    badge(c, informationBlue);
    c.layer(white, [](Shapes& s) {
        s.circle(0.5f, 0.28f, 0.075f);
        s.rect(0.44f, 0.41f, 0.12f, 0.35f);
    });
}

void question(Canvas& c)
{
    badge(c, questionTeal);
    c.layer(white, questionMark);
}

void warning(Canvas& c)
{
    c.layer(warningAmber, [](Shapes& s) { s.polygon({{0.5f, 0.05f}, {0.97f, 0.9f}, {0.03f, 0.9f}}); });
    c.layer(warningInk, [](Shapes& s) {
        s.polygon({{0.45f, 0.33f}, {0.55f, 0.33f}, {0.53f, 0.63f}, {0.47f, 0.63f}});
        s.circle(0.5f, 0.76f, 0.06f);
    });
}

void critical(Canvas& c)
{
    badge(c, criticalRed);
    c.layer(white, [](Shapes& s) {
        s.line(0.32f, 0.32f, 0.68f, 0.68f, 0.12f);
        s.line(0.68f, 0.32f, 0.32f, 0.68f, 0.12f);
    });
}

void directory(Canvas& c)
{
    c.layer(folderBack, [](Shapes& s) {
        s.roundedRect(0.06f, 0.14f, 0.4f, 0.2f, 0.05f);
        s.roundedRect(0.06f, 0.22f, 0.88f, 0.66f, 0.05f);
    });
    c.layer(folderFront, [](Shapes& s) { s.roundedRect(0.06f, 0.34f, 0.88f, 0.54f, 0.05f); });
}

void closeButton(Canvas& c)
{
    c.layer(glyphGrey, [](Shapes& s) {
        s.line(0.28f, 0.28f, 0.72f, 0.72f, 0.1f);
        s.line(0.72f, 0.28f, 0.28f, 0.72f, 0.1f);
    });
}

void maximizeButton(Canvas& c)
{
    c.layer(glyphGrey, [](Shapes& s) {
        s.rect(0.25f, 0.25f, 0.5f, 0.5f);
        s.setErasing(true);
        s.rect(0.32f, 0.38f, 0.36f, 0.3f);
    });
}

void minimizeButton(Canvas& c)
{
    c.layer(glyphGrey, [](Shapes& s) { s.rect(0.25f, 0.62f, 0.5f, 0.1f); });
}

void helpButton(Canvas& c)
{
    badge(c, helpSlate);
    c.layer(white, questionMark);
}

void focus(Canvas& c)
{
    c.layer(focusBlue, [](Shapes& s) {
        s.roundedRect(0, 0, 1, 1, 0.25f);
        s.setErasing(true);
        s.roundedRect(0.125f, 0.125f, 0.75f, 0.75f, 0.15f);
    });
}

template <int size, void (*paint)(Canvas&)>
Bitmap drawn()
{
    Canvas c(size, size, float(size));
    paint(c);
    return c.image();
}

const StyleImageRegistration standardImages{
    {L"images", L"DialogHelpButton", drawn<16, helpButton>},
    {L"images", L"DirectoryBig", drawn<32, directory>},
    {L"images", L"DirectorySmall", drawn<16, directory>},
    {L"images", L"InformationBig", drawn<48, information>},
    {L"images", L"QuestionBig", drawn<48, question>},
    {L"images", L"WarningBig", drawn<48, warning>},
    {L"images", L"CriticalBig", drawn<48, critical>},
    {L"images", L"InformationMedium", drawn<32, information>},
    {L"images", L"QuestionMedium", drawn<32, question>},
    {L"images", L"WarningMedium", drawn<32, warning>},
    {L"images", L"CriticalMedium", drawn<32, critical>},
    {L"images", L"InformationSmall", drawn<16, information>},
    {L"images", L"QuestionSmall", drawn<16, question>},
    {L"images", L"WarningSmall", drawn<16, warning>},
    {L"images", L"CriticalSmall", drawn<16, critical>},
    {L"images", L"WindowCloseButton", drawn<16, closeButton>},
    {L"images", L"WindowMaximizeButton", drawn<16, maximizeButton>},
    {L"images", L"WindowMinimizeButton", drawn<16, minimizeButton>},
    {L"images", L"Focus", drawn<16, focus>},
};

} // namespace
