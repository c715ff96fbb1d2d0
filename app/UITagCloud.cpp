#include "app/UITagCloud.h"

#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Settings.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/Resampler.h"
#include "graphics/Screen.h"
#include "library/CloudMetrics.h"
#include "library/LibraryModel.h"
#include "library/Tag.h"
#include "ui/UINativeWindow.h"
#include "ui/UIStyleValues.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

const wchar_t* const selectionKey = L"tagCloud/selectedTags";

// Values of the model's backgroundImageDrawMode.
enum BackgroundDrawMode : std::uint32_t { RealSize = 0, Stretched = 1, Tiled = 2 };

// Faded tags are the foreground at this alpha over the background.
constexpr std::uint8_t fadedAlpha = 115;

// Font sizes outside this range come only from damaged settings; they
// would make unreadable or absurdly large fonts.
constexpr float smallestPoints = 4.0f;
constexpr float largestPoints = 200.0f;

// Past this many changed words one repaint of the whole cloud costs less
// than a repaint of each.
constexpr std::size_t wordRepaintLimit = 24;

const Colour fallbackBackground(255, 255, 255);
const Colour fallbackForeground(0, 0, 0);

// Disables the window's native input for its lifetime, nested the way modal
// loops nest, without repainting the window's widgets as disabled.
class WindowInputBlock {
public:
    explicit WindowInputBlock(const UIWidget* window) : m_native(window ? window->nativeWindow() : nullptr)
    {
        if (m_native)
            m_native->setBlocked(true);
    }
    ~WindowInputBlock()
    {
        if (m_native)
            m_native->setBlocked(false);
    }
    WindowInputBlock(const WindowInputBlock&) = delete;
    WindowInputBlock& operator=(const WindowInputBlock&) = delete;

private:
    UINativeWindow* m_native;
};

String escapedName(const String& name)
{
    String escaped;
    escaped.reserve(name.length());
    for (int i = 0; i < name.length(); ++i) {
        if (name[i] == L'\\' || name[i] == L'|')
            escaped.append(L'\\');
        escaped.append(name[i]);
    }
    return escaped;
}

StringList namesOf(const PointerArray<Tag*>& tags)
{
    StringList names;
    for (const Tag* tag : tags)
        names.append(tag->name());
    return names;
}

// The tags in order, each once.
PointerArray<Tag*> withoutRepeats(const PointerArray<Tag*>& tags)
{
    PointerArray<Tag*> unique;
    std::unordered_set<const Tag*> seen;
    for (Tag* tag : tags) {
        if (seen.insert(tag).second)
            unique.append(tag);
    }
    return unique;
}

bool sameTags(const PointerArray<Tag*>& a, const PointerArray<Tag*>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

float sanePoints(float points)
{
    if (!(points >= smallestPoints))
        return smallestPoints;
    return std::min(points, largestPoints);
}

} // namespace

String joinTagNames(const StringList& names)
{
    String text;
    bool first = true;
    for (const String& name : names) {
        if (!first)
            text.append(L'|');
        first = false;
        text.append(escapedName(name));
    }
    return text;
}

StringList splitTagNames(const String& text)
{
    StringList names;
    if (text.isEmpty())
        return names;
    String name;
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\\' && i + 1 < text.length()) {
            name.append(text[++i]);
        } else if (c == L'|') {
            names.append(name);
            name.clear();
        } else {
            name.append(c);
        }
    }
    names.append(name);
    return names;
}

UITagCloud::UITagCloud(UIWidget* parent) : UIWidget(parent)
{
    setStyleName(L"UITagCloud");
    setSizePolicy(SizeExpanding, SizeExpanding);
    setFlag(WidgetHoverTracking, true);
}

UITagCloud::~UITagCloud() = default;

LibraryModel* UITagCloud::model() const
{
    return shellHooks().libraryModel();
}

Size UITagCloud::sizeHint() const
{
    return {200, 120};
}

void UITagCloud::setStyleProperty(const String& name, const String& value)
{
    const int number = std::max(0, parseIntValue(value));
    if (name == String(L"padding"))
        m_spacing.padding = number;
    else if (name == String(L"wordSpacing"))
        m_spacing.wordSpacing = number;
    else if (name == String(L"lineSpacing"))
        m_spacing.lineSpacing = number;
    else if (name == String(L"scrollStep"))
        m_scrollStep = number;
}

// ---- Entries and layout ----

// The entries and placed words of the last reload are refilled in place
// rather than freed and made again: at 10,000 tags that cost more than
// filling them.
void UITagCloud::reload()
{
    LibraryModel* library = model();
    if (isDetached() || !library) {
        clearPlacement();
        repaint();
        return;
    }
    const int hoveredBefore = std::exchange(m_hovered, -1);
    const int scrolledBefore = m_scrollOffset;
    m_pressed = nullptr;
    const bool dropped = dropForeignSelected(*library);
    rebuildEntries(*library);
    placeEntries(*library);
    measure();
    relayout();
    // The word under a pointer that has not moved keeps its underline.
    if (isUnderMouse())
        m_hovered = indexAt(mapFromGlobal(cursorPosition()));
    repaintChanges(hoveredBefore, scrolledBefore);
    if (dropped)
        selectionChanged.emit();
}

void UITagCloud::clearPlacement()
{
    m_entries.clear();
    m_placed.clear();
    m_sizes.clear();
    m_layout.clear();
    m_hovered = -1;
    m_pressed = nullptr;
}

// The selection holds a few tags and the model may hold thousands, so each
// model tag is looked up among the selected rather than the other way round.
bool UITagCloud::dropForeignSelected(const LibraryModel& library)
{
    if (m_selected.isEmpty())
        return false;
    std::unordered_set<const Tag*> unseen(m_selected.begin(), m_selected.end());
    for (const Tag* tag : library.tags()) {
        if (unseen.erase(tag) && unseen.empty())
            return false;
    }
    return m_selected.removeIf([&unseen](Tag* tag) { return unseen.count(tag) != 0; }) > 0;
}

void UITagCloud::rebuildEntries(LibraryModel& library)
{
    const CloudMetrics metrics(library);
    auto* reused = m_entries.first();
    for (Tag* tag : library.tags()) {
        tag->clearFlags(Tag::KeptByCloud);
        if (!(tag->stateFlags() & Tag::Shown))
            continue;
        const CloudEntry entry{tag, metrics.fontSize(tag)};
        if (reused) {
            reused->value = entry;
            reused = reused->next;
        } else {
            m_entries.append(entry);
        }
    }
    while (reused)
        m_entries.removeNode(reused);
    if (library.sortMode() != CloudOrder::Unsorted)
        sortCloudEntries(m_entries, CloudOrder{m_selected, library.sortMode()});
}

// Gives each entry its font and look, once per reload. A word whose tag,
// name and font are those its place held at the last reload keeps its
// size; the others are listed in m_changed for measure, and the kept words
// whose look changed in m_restyled.
void UITagCloud::placeEntries(LibraryModel& library)
{
    syncFontFace(library.fontFamily().isEmpty() ? defaultFontDesc().face() : library.fontFamily());
    PointerArray<Tag*> related;
    library.relatedTags(m_selected, related);
    const std::unordered_set<const Tag*> bright(related.begin(), related.end());
    const std::unordered_set<const Tag*> selected(m_selected.begin(), m_selected.end());
    m_placed.resize(static_cast<std::size_t>(m_entries.count()));
    m_sizes.resize(m_placed.size());
    m_changed.clear();
    m_restyled.clear();
    std::size_t i = 0;
    for (const CloudEntry& entry : m_entries) {
        Look look = Look::Plain;
        if (selected.count(entry.tag))
            look = Look::Selected;
        else if (!selected.empty() && !bright.count(entry.tag))
            look = Look::Faded;
        PlacedTag& placed = m_placed[i];
        const int font = fontFor(entry.fontSize);
        if (placed.tag != entry.tag || placed.font != font || placed.text != entry.tag->name()) {
            placed.tag = entry.tag;
            placed.font = font;
            placed.text = entry.tag->name();
            m_changed.push_back(i);
        } else if (placed.look != look) {
            m_restyled.push_back(i);
        }
        placed.look = look;
        entry.tag->setFlags(Tag::KeptByCloud);
        ++i;
    }
}

// Only words whose name or font changed since they were last measured are
// measured again.
void UITagCloud::measure()
{
    std::vector<std::size_t> missing;
    for (const std::size_t i : m_changed) {
        const PlacedTag& placed = m_placed[i];
        const auto found = m_measured.find(placed.tag);
        if (found == m_measured.end() || found->second.font != placed.font || found->second.text != placed.text)
            missing.push_back(i);
        else
            m_sizes[i] = found->second.size;
    }
    dropLeftWords();
    measureMissing(missing);
}

// Words of deleted or hidden tags stay until they would outnumber the
// cloud's own, so that a reload need not rebuild the cache.
void UITagCloud::dropLeftWords()
{
    if (m_measured.size() <= 2 * m_placed.size() + 64)
        return;
    std::unordered_map<const Tag*, MeasuredWord> kept;
    kept.reserve(m_placed.size());
    for (const PlacedTag& placed : m_placed) {
        const auto found = m_measured.find(placed.tag);
        if (found != m_measured.end())
            kept.emplace(placed.tag, std::move(found->second));
    }
    m_measured.swap(kept);
}

// Font by font: Wine keeps only a few released fonts realised, and words
// measured in turn with a dozen sizes made it realise one for nearly every
// word, five times slower.
void UITagCloud::measureMissing(std::vector<std::size_t>& missing)
{
    std::stable_sort(missing.begin(), missing.end(),
                     [this](std::size_t a, std::size_t b) { return m_placed[a].font < m_placed[b].font; });
    for (const std::size_t i : missing) {
        const PlacedTag& placed = m_placed[i];
        const Font& font = *m_fonts[static_cast<std::size_t>(placed.font)];
        m_sizes[i] = {font.textWidth(placed.text.constData(), placed.text.length()), font.height()};
        m_measured.insert_or_assign(placed.tag, MeasuredWord{placed.text, placed.font, m_sizes[i]});
    }
}

void UITagCloud::relayout()
{
    std::swap(m_layout, m_previousLayout);
    m_layout.flow(m_sizes, size(), m_spacing);
    for (int i = 0; i < m_layout.count(); ++i)
        m_placed[static_cast<std::size_t>(i)].tag->setCloudRect(m_layout.rectOf(i));
    scrollTo(m_scrollOffset);
}

// A reload that left every word in its place and the colours as they were
// repaints only the words whose text or look changed and the underline;
// otherwise the whole cloud.
void UITagCloud::repaintChanges(int hoveredBefore, int scrolledBefore)
{
    const PaintStyle style = paintStyle();
    const bool restyled = !(style == m_paintedStyle);
    m_paintedStyle = style;
    std::vector<int> words;
    if (restyled || m_scrollOffset != scrolledBefore || !m_layout.samePlaces(m_previousLayout) ||
        !markChangedWords(words, hoveredBefore)) {
        repaint();
        return;
    }
    for (const int i : words)
        repaintWord(i);
}

// The words to repaint, each once; false when they are too many.
bool UITagCloud::markChangedWords(std::vector<int>& words, int hoveredBefore) const
{
    if (m_changed.size() + m_restyled.size() > wordRepaintLimit)
        return false;
    for (const std::size_t i : m_changed)
        words.push_back(static_cast<int>(i));
    for (const std::size_t i : m_restyled)
        words.push_back(static_cast<int>(i));
    if (hoveredBefore != m_hovered) {
        words.push_back(hoveredBefore);
        words.push_back(m_hovered);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    std::erase(words, -1);
    return true;
}

void UITagCloud::repaintWord(int index)
{
    repaint(inkRect(index));
}

// Sizes that round to the same pixel height share one font.
int UITagCloud::fontFor(float points)
{
    const int pixels = FontDesc::pointsToPixels(sanePoints(points), Screen::dpiY());
    const auto found = std::find(m_fontPixels.begin(), m_fontPixels.end(), pixels);
    if (found != m_fontPixels.end())
        return static_cast<int>(found - m_fontPixels.begin());
    m_fonts.push_back(std::make_unique<Font>(FontDesc(m_fontFace, sanePoints(points), 0)));
    m_fontPixels.push_back(pixels);
    return static_cast<int>(m_fonts.size()) - 1;
}

void UITagCloud::syncFontFace(const String& face)
{
    if (face == m_fontFace)
        return;
    m_fontFace = face;
    // Font numbers are given anew: no placed word keeps its size.
    m_placed.clear();
    m_fonts.clear();
    m_fontPixels.clear();
    m_measured.clear();
}

void UITagCloud::scrollTo(int offset)
{
    const int largest = std::max(0, m_layout.contentHeight() - height());
    m_scrollOffset = std::clamp(offset, 0, largest);
}

int UITagCloud::indexAt(Point p) const
{
    return m_layout.indexAt({p.x, p.y + m_scrollOffset});
}

Tag* UITagCloud::tagAt(Point p) const
{
    const int index = indexAt(p);
    return index < 0 ? nullptr : m_placed[static_cast<std::size_t>(index)].tag;
}

Rect UITagCloud::widgetRect(int index) const
{
    const Rect& r = m_layout.rectOf(index);
    return Rect(r.x, r.y - m_scrollOffset, r.width, r.height);
}

// A word's rectangle widened by what its glyphs may reach past their
// advance (italic and overhanging letters), within the gap to the next
// word: a word's repaint covers all it drew, and a paint draws every word
// that reaches into its area.
Rect UITagCloud::inkRect(int index) const
{
    const Rect r = widgetRect(index);
    const int overhang = r.height / 6 + 1;
    return r.adjusted(-overhang, 0, overhang, 0);
}

// ---- Selection ----

bool UITagCloud::isSelected(const Tag* tag) const
{
    return m_selected.lastIndexOf(tag) >= 0;
}

void UITagCloud::setSelectedTags(const PointerArray<Tag*>& tags)
{
    PointerArray<Tag*> kept = withoutRepeats(tags);
    if (LibraryModel* library = model())
        library->removeForeignTags(kept);
    else
        kept.clear();
    if (isDetached()) {
        const StringList names = namesOf(kept);
        if (joinTagNames(names) == joinTagNames(m_detachedNames))
            return;
        m_detachedNames = names;
        selectionChanged.emit();
        return;
    }
    if (sameTags(kept, m_selected))
        return;
    m_selected = kept;
    reload();
    selectionChanged.emit();
}

StringList UITagCloud::selectedNames() const
{
    return isDetached() ? m_detachedNames : namesOf(m_selected);
}

PointerArray<Tag*> UITagCloud::tagsNamed(const StringList& names) const
{
    PointerArray<Tag*> tags;
    const LibraryModel* library = model();
    if (!library)
        return tags;
    for (const String& name : names) {
        Tag* tag = library->findTagByName(name);
        if (tag && tags.lastIndexOf(tag) < 0)
            tags.append(tag);
    }
    return tags;
}

void UITagCloud::loadSelection()
{
    const StringList names = splitTagNames(shellHooks().settings().value(selectionKey, String()).toString());
    if (isDetached())
        m_detachedNames = names;
    else
        setSelectedTags(tagsNamed(names));
    m_loadedSelection = joinTagNames(selectedNames());
}

void UITagCloud::saveSelection() const
{
    const String selection = joinTagNames(selectedNames());
    if (selection == m_loadedSelection)
        return;
    Settings& store = shellHooks().settings();
    if (!store.contains(selectionKey))
        store.addEntry(selectionKey, String());
    store.setValue(selectionKey, selection);
}

void UITagCloud::detachEntries()
{
    if (letGoOfTags())
        repaint();
}

// Starts one level of detaching; the first lets go of every tag and
// answers true.
bool UITagCloud::letGoOfTags()
{
    if (m_detachDepth++ > 0)
        return false;
    m_detachedNames = namesOf(m_selected);
    m_selected.clear();
    if (LibraryModel* library = model()) {
        for (Tag* tag : library->tags())
            tag->clearFlags(Tag::KeptByCloud);
    }
    clearPlacement();
    return true;
}

void UITagCloud::attachEntries()
{
    if (!isDetached())
        return;
    const bool lost = releaseDetach();
    if (isDetached())
        return;
    reload();
    if (lost)
        selectionChanged.emit();
}

// Ends one level of detaching; the last finds the selection again by name
// and answers whether tags of it went while the cloud looked away.
bool UITagCloud::releaseDetach()
{
    if (!isDetached() || --m_detachDepth > 0)
        return false;
    m_selected = tagsNamed(m_detachedNames);
    const bool lost = m_selected.count() < m_detachedNames.count();
    m_detachedNames.clear();
    return lost;
}

// ---- Clicks ----

void UITagCloud::clickTag(Tag* tag)
{
    LibraryModel* library = model();
    if (!library || library->isBusy())
        return;
    if (isSelected(tag))
        deselect(tag);
    else
        selectAfterScan(*library, tag);
}

void UITagCloud::deselect(Tag* tag)
{
    m_selected.removeOne(tag);
    reload();
    selectionChanged.emit();
}

// The scan may delete items and add tags, and it processes events while it
// runs: the cloud lets go of every tag and the window takes no input until
// it ends. The words stay on the screen meanwhile (a paint would show the
// background only), and one reload then shows both the scan's result and
// the selection.
void UITagCloud::selectAfterScan(LibraryModel& library, Tag* tag)
{
    const bool scans = library.scansOnClick(*tag);
    bool lost = false;
    if (scans) {
        const WindowInputBlock block(topLevelWidget());
        letGoOfTags();
        library.scanForClickedTag(tag);
        lost = releaseDetach();
    }
    if (isDetached())
        return;
    const bool selects = library.containsTag(tag) && !isSelected(tag);
    if (selects) {
        library.recordTagUse(tag);
        m_selected.append(tag);
    }
    if (scans || selects)
        reload();
    if (lost)
        selectionChanged.emit();
    if (selects)
        selectionChanged.emit();
}

// ---- Background ----

void UITagCloud::reloadBackground()
{
    const LibraryModel* library = model();
    const String path = library ? library->backgroundImagePath() : String();
    m_backgroundImage = !path.isEmpty() && fileExists(path) ? Bitmap::load(path) : Bitmap();
    m_stretchedBackground = Bitmap();
    m_paintedStyle = paintStyle();
    repaint();
}

// ---- Painting ----

Colour UITagCloud::colourOf(Look look) const
{
    const LibraryModel* library = model();
    if (!library)
        return fallbackForeground;
    switch (look) {
    case Look::Selected:
        return library->selectedForeground().colour();
    case Look::Faded: {
        Colour faded = library->foreground().colour();
        faded.setAlpha(fadedAlpha);
        return library->background().colour().blended(faded);
    }
    default:
        return library->foreground().colour();
    }
}

UITagCloud::PaintStyle UITagCloud::paintStyle() const
{
    PaintStyle style{{colourOf(Look::Plain), colourOf(Look::Selected), colourOf(Look::Faded)},
                     Brush(fallbackBackground)};
    if (const LibraryModel* library = model()) {
        style.background = library->background();
        style.imageMode = library->backgroundImageDrawMode();
    }
    return style;
}

// Only the event's area is drawn, clipped to it: the background under it
// and the words that reach into it, so a repaint of a few words costs a few
// words.
void UITagCloud::paintEvent(UIPaintEvent* event)
{
    const Rect area = event->rect();
    Graphics g(backBuffer());
    g.setClipRect(area);
    paintBackground(g);
    paintTags(g, area);
}

void UITagCloud::paintBackground(Graphics& g)
{
    const LibraryModel* library = model();
    g.fillRect(rect(), library ? library->background() : Brush(fallbackBackground));
    if (!library || m_backgroundImage.isNull())
        return;
    switch (library->backgroundImageDrawMode()) {
    case Stretched:
        g.drawBitmapAt(stretchedBackground(g), 0, 0);
        return;
    case Tiled:
        g.tileBitmap(m_backgroundImage, rect());
        return;
    default:
        g.drawBitmapAt(m_backgroundImage, 0, 0);
    }
}

// The image as the painter would resample it to the cloud's size, made once
// per image and size instead of at every paint.
const Bitmap& UITagCloud::stretchedBackground(const Graphics& g)
{
    if (!m_stretchedBackground.isNull() && m_stretchedSize == size())
        return m_stretchedBackground;
    const ResampleMode mode = g.hasRenderHint(Graphics::SmoothScaling) ? ResampleMode::Mitchell : ResampleMode::Nearest;
    m_stretchedBackground = m_backgroundImage.scaled(width(), height(), static_cast<int>(mode));
    m_stretchedSize = size();
    return m_stretchedBackground;
}

// Only the words that reach into the area are drawn, grouped by font and
// colour so the painter changes each once per group rather than once per
// word.
void UITagCloud::paintTags(Graphics& g, const Rect& area) const
{
    const auto [first, end] = m_layout.indexesBetween(area.y + m_scrollOffset, area.bottom() + m_scrollOffset);
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(end - first));
    for (int i = first; i < end; ++i) {
        if (inkRect(i).intersects(area))
            order.push_back(i);
    }
    const auto placed = [this](int i) -> const PlacedTag& { return m_placed[static_cast<std::size_t>(i)]; };
    std::sort(order.begin(), order.end(), [&placed](int a, int b) {
        return std::pair(placed(a).font, placed(a).look) < std::pair(placed(b).font, placed(b).look);
    });
    // In the order of Look.
    const Pen pens[] = {Pen(colourOf(Look::Plain)), Pen(colourOf(Look::Selected)), Pen(colourOf(Look::Faded))};
    int groupFont = -1;
    for (const int i : order) {
        const PlacedTag& tag = placed(i);
        const Font& font = *m_fonts[static_cast<std::size_t>(tag.font)];
        const Rect r = widgetRect(i);
        if (tag.font != groupFont) {
            g.setFont(font.desc());
            groupFont = tag.font;
        }
        g.setPen(pens[static_cast<int>(tag.look)]);
        g.drawTextRaw(tag.text.constData(), tag.text.length(), r.x, r.y);
        if (i != m_hovered)
            continue;
        const int baseline = r.y + font.ascent() + 1;
        g.setPen(Pen(colourOf(tag.look), static_cast<float>(std::max(1, font.height() / 18)), Pen::Solid));
        g.drawLine(r.x, baseline, r.right(), baseline);
    }
}

// ---- Input ----

Cursor UITagCloud::cursorAt(Point p) const
{
    return tagAt(p) ? Cursor(CursorHand) : UIWidget::cursorAt(p);
}

void UITagCloud::resizeEvent(UIResizeEvent*)
{
    relayout();
}

void UITagCloud::mousePressEvent(UIMouseEvent* event)
{
    m_pressed = event->button() == LeftButton ? tagAt(event->position()) : nullptr;
}

// A click is a press and a release on the same tag.
void UITagCloud::mouseReleaseEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton)
        return;
    Tag* pressed = std::exchange(m_pressed, nullptr);
    if (pressed && tagAt(event->position()) == pressed)
        clickTag(pressed);
}

void UITagCloud::mouseMoveEvent(UIMouseEvent* event)
{
    setHovered(indexAt(event->position()));
}

void UITagCloud::leaveEvent(UIMouseEvent*)
{
    setHovered(-1);
}

// Only the underline moves: the word it leaves and the word it reaches are
// repainted.
void UITagCloud::setHovered(int index)
{
    if (index == m_hovered)
        return;
    const int before = std::exchange(m_hovered, index);
    if (before >= 0)
        repaintWord(before);
    if (index >= 0)
        repaintWord(index);
}

void UITagCloud::wheelEvent(UIWheelEvent* event)
{
    const int before = m_scrollOffset;
    if (event->direction() == WheelDown)
        scrollTo(m_scrollOffset + m_scrollStep);
    else if (event->direction() == WheelUp)
        scrollTo(m_scrollOffset - m_scrollStep);
    if (m_scrollOffset == before)
        return;
    m_hovered = indexAt(event->position());
    repaint();
}
