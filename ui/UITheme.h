#pragma once

#include "foundation/DataPack.h"
#include "foundation/List.h"
#include "foundation/String.h"
#include "foundation/XmlDocument.h"
#include "graphics/Bitmap.h"
#include "ui/UISkin.h"

#include <cstdint>
#include <utility>
#include <vector>


// Ids of UITheme::metric; 0 stands for a name outside this table.
enum UIMetric : int {
    MetricNone = 0,
    MetricLayoutLeftMargin = 1,
    MetricLayoutTopMargin,
    MetricLayoutRightMargin,
    MetricLayoutBottomMargin,
    MetricLayoutHorizontalSpacing,
    MetricLayoutVerticalSpacing,
    MetricSmallIconSize,
    MetricMediumIconSize,
    MetricLargeIconSize,
    MetricTextCursorWidth,
    MetricMessageBoxIconSize,
    MetricWindowDesktopPadding,
};

// Ids of UITheme::image. The message icons of kind k (1 information,
// 2 question, 3 warning, 4 critical) are k + 2 (big), k + 6 (medium) and
// k + 10 (small).
enum UIStandardImage : int {
    ImageDialogHelpButton = 0,
    ImageDirectoryBig,
    ImageDirectorySmall,
    ImageInformationBig,
    ImageQuestionBig,
    ImageWarningBig,
    ImageCriticalBig,
    ImageInformationMedium,
    ImageQuestionMedium,
    ImageWarningMedium,
    ImageCriticalMedium,
    ImageInformationSmall,
    ImageQuestionSmall,
    ImageWarningSmall,
    ImageCriticalSmall,
    ImageWindowCloseButton,
    ImageWindowMaximizeButton,
    ImageWindowMinimizeButton,
    ImageFocus,
};

using UINamedSkin = std::pair<String, UISkin>;

// One loaded style: a ".style" data pack with "xml/models.xml",
// "xml/metrics.xml", "xml/skins.xml", the standard images in "images" and
// one PNG strip per skin in "skins". Loaded once, then only read; the
// references it hands out live as long as the theme.
class UITheme {
public:
    UITheme();
    virtual ~UITheme();
    UITheme(const UITheme&) = delete;
    UITheme& operator=(const UITheme&) = delete;

    // False for an empty path, a missing or damaged pack, an XML
    // description that does not parse, or a style without metrics, images
    // or skins.
    bool load(const String& path);
    // The same for a pack image in memory.
    bool loadFromMemory(const std::uint8_t* data, std::int64_t size);

    // The first metric of that id; 0 when there is none.
    virtual int metric(int id) const;
    // The first image of that id; a shared empty Bitmap when there is none.
    const Bitmap& image(int id) const;
    // The first skin of exactly that name; a shared empty skin otherwise.
    const UISkin& skin(const String& name) const;
    // In the order of "skins.xml"; two skins may share a name.
    int skinCount() const { return int(m_skins.size()); }
    const String& skinName(int index) const { return m_skins[std::size_t(index)].first; }
    // Decodes the skin's strip the first time it is asked for.
    const UINamedSkin& skinAt(int index) const;
    // The document element of "models.xml"; null when absent.
    XmlElement* models() const;

    bool isValid() const;
    const String& path() const { return m_path; }

private:
    enum Source : int { NoSource = 0, FromFile = 1, FromMemory = 2 };

    bool loadTheme();
    bool loadModels();
    bool loadImages();
    bool loadMetrics();
    bool loadSkins();
    void decodeImage(int index) const;
    void decodeSkin(int index) const;

    String m_path;
    Source m_source = NoSource;
    // Images are decoded the first time they are asked for: a style holds
    // far more than one window shows, and start-up pays only for those it
    // shows. An undecoded entry keeps its file in the pack; null once
    // decoded (or when the pack has no such file).
    DataPack m_pack;
    mutable std::vector<std::pair<int, Bitmap>> m_images;
    mutable std::vector<const PackFile*> m_undecodedImages;
    mutable std::vector<UINamedSkin> m_skins;
    mutable std::vector<const PackFile*> m_undecodedSkins;
    List<std::pair<int, int>> m_metrics;
    XmlDocument m_models;
};
