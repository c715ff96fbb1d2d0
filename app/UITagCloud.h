#pragma once

// UITagCloud: the main window's cloud of the library's shown tags. Each tag
// is drawn in the font size its weight gives it; a left click on a tag
// selects it (running the scan rules tied to a click on that tag first) or
// deselects it, and the tags that share items with the selection stay
// bright while the others fade. The colours, fonts, order and background
// come from the library model; the selection persists in the settings.
//
// The cloud refers to the model's tags by pointer. Whoever deletes tags
// calls reload (or holds the cloud detached meanwhile) before it paints or
// takes input again.

#include "app/TagCloudLayout.h"
#include "foundation/Array.h"
#include "foundation/List.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/Font.h"
#include "library/CloudEntry.h"
#include "ui/UIWidget.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class Graphics;
class LibraryModel;
class Tag;

// The store form of a list of tag names: joined with "|", where a "\" in a
// name is written "\\" and a "|" is written "\|". An empty text holds no
// names.
String joinTagNames(const StringList& names);
StringList splitTagNames(const String& text);

class UITagCloud : public UIWidget {
public:
    explicit UITagCloud(UIWidget* parent);
    ~UITagCloud() override;

    // Rebuilds the entries from the model's shown tags (state flag
    // Tag::Shown), sorted when the model's sortMode is not 0, lays them out
    // and repaints. Selected tags the model no longer owns leave the
    // selection (selectionChanged is emitted then).
    void reload();

    const PointerArray<Tag*>& selectedTags() const { return m_selected; }
    // Keeps only tags the model owns (LibraryModel::removeForeignTags), each
    // once; emits selectionChanged when it changed.
    void setSelectedTags(const PointerArray<Tag*>& tags);
    bool isSelected(const Tag* tag) const;
    // "tagCloud/selectedTags": the selected tags' names; unknown names are
    // ignored on load. A selection still as the load made it is not saved:
    // the names a library that could not be read would answer stay stored.
    void loadSelection();
    void saveSelection() const;

    // The model's backgroundImagePath names an existing file: loaded from
    // it; otherwise a null Bitmap. A stretched image is resampled once per
    // image and size, not at each paint.
    void reloadBackground();
    const Bitmap& backgroundImage() const { return m_backgroundImage; }

    // While detached the cloud holds no tag pointer it would follow
    // (entries, hover, layout cleared; the selection is kept as names and
    // re-found on attach; measured words keep tags only as keys): it paints
    // only its background and ignores input.
    // attachEntries re-finds the selection and reloads. Nesting counts.
    void detachEntries();
    void attachEntries();
    bool isDetached() const { return m_detachDepth > 0; }

    // The tag drawn at the point (widget coordinates), or null.
    Tag* tagAt(Point p) const;
    const List<CloudEntry>& entries() const { return m_entries; }
    // How far the content is scrolled down, in pixels.
    int scrollOffset() const { return m_scrollOffset; }

    // Without argument.
    Signal selectionChanged;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    Cursor cursorAt(Point p) const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void wheelEvent(UIWheelEvent* event) override;

private:
    enum class Look { Plain, Selected, Faded };

    // One tag as laid out: its name is copied so painting never reads the
    // tag itself.
    struct PlacedTag {
        Tag* tag = nullptr;
        String text;
        int font = -1;
        Look look = Look::Plain;
    };

    // What the words were last drawn with: a reload that changes it
    // repaints them all.
    struct PaintStyle {
        Colour looks[3];
        Brush background;
        std::uint32_t imageMode = 0;
        bool operator==(const PaintStyle&) const = default;
    };

    // A word's size as last measured, valid while the tag's name and font
    // stay those it was measured with.
    struct MeasuredWord {
        String text;
        int font;
        Size size;
    };

    LibraryModel* model() const;
    void clearPlacement();
    bool dropForeignSelected(const LibraryModel& library);
    void rebuildEntries(LibraryModel& model);
    void placeEntries(LibraryModel& model);
    void measure();
    void measureMissing(std::vector<std::size_t>& missing);
    void dropLeftWords();
    void relayout();
    void repaintChanges(int hoveredBefore, int scrolledBefore);
    bool markChangedWords(std::vector<int>& words, int hoveredBefore) const;
    void repaintWord(int index);
    int fontFor(float points);
    void syncFontFace(const String& face);
    void scrollTo(int offset);
    void setHovered(int index);
    int indexAt(Point p) const;
    Rect widgetRect(int index) const;
    Rect inkRect(int index) const;

    void clickTag(Tag* tag);
    void deselect(Tag* tag);
    void selectAfterScan(LibraryModel& model, Tag* tag);
    bool letGoOfTags();
    bool releaseDetach();
    StringList selectedNames() const;
    PointerArray<Tag*> tagsNamed(const StringList& names) const;

    PaintStyle paintStyle() const;
    void paintBackground(Graphics& g);
    const Bitmap& stretchedBackground(const Graphics& g);
    void paintTags(Graphics& g, const Rect& area) const;
    Colour colourOf(Look look) const;

    PointerArray<Tag*> m_selected;
    // The selection while detached.
    StringList m_detachedNames;
    // The selection as loadSelection made it, joined; none before a load.
    std::optional<String> m_loadedSelection;
    int m_detachDepth = 0;

    List<CloudEntry> m_entries;
    std::vector<PlacedTag> m_placed;
    std::vector<Size> m_sizes;
    // Indexes of m_placed whose word changed at this reload.
    std::vector<std::size_t> m_changed;
    // Indexes of m_placed whose word stayed but whose look changed at this
    // reload.
    std::vector<std::size_t> m_restyled;
    // Words measured at earlier reloads, by tag; measuring is most of a
    // reload's cost. The keys are compared, never followed: a new tag at a
    // deleted one's address is measured again unless its name and font are
    // the same, and then so is its size.
    std::unordered_map<const Tag*, MeasuredWord> m_measured;
    TagCloudLayout m_layout;
    // The placement before the last relayout, kept to tell whether words
    // moved; swapped with m_layout so neither is made anew.
    TagCloudLayout m_previousLayout;
    PaintStyle m_paintedStyle;
    TagCloudSpacing m_spacing;
    int m_scrollStep = 48;
    int m_scrollOffset = 0;
    int m_hovered = -1;
    Tag* m_pressed = nullptr;

    // One font per pixel size in use, of m_fontFace; m_measured's font
    // numbers index these.
    String m_fontFace;
    std::vector<std::unique_ptr<Font>> m_fonts;
    std::vector<int> m_fontPixels;

    Bitmap m_backgroundImage;
    // m_backgroundImage resampled to m_stretchedSize; null until a paint
    // asks for it.
    Bitmap m_stretchedBackground;
    Size m_stretchedSize;
};
