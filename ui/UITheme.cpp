#include "ui/UITheme.h"

#include "foundation/DataPack.h"
#include "foundation/FileSystem.h"
#include "foundation/StringList.h"

#include <iterator>

namespace {

// Indexed by metric id; id 0 names nothing.
const wchar_t* const metricNames[] = {
    nullptr,
    L"LayoutLeftMargin",
    L"LayoutTopMargin",
    L"LayoutRightMargin",
    L"LayoutBottomMargin",
    L"LayoutHorizontalSpacing",
    L"LayoutVerticalSpacing",
    L"SmallIconSize",
    L"MediumIconSize",
    L"LargeIconSize",
    L"TextCursorWidth",
    L"MessageBoxIconSize",
    L"WindowDesktopPadding",
};

// Indexed by image id.
const wchar_t* const imageFiles[] = {
    L"DialogHelpButton.png",  L"DirectoryBig.png",        L"DirectorySmall.png",      L"InformationBig.png",
    L"QuestionBig.png",       L"WarningBig.png",          L"CriticalBig.png",         L"InformationMedium.png",
    L"QuestionMedium.png",    L"WarningMedium.png",       L"CriticalMedium.png",      L"InformationSmall.png",
    L"QuestionSmall.png",     L"WarningSmall.png",        L"CriticalSmall.png",       L"WindowCloseButton.png",
    L"WindowMaximizeButton.png", L"WindowMinimizeButton.png", L"Focus.png",
};

// The order the images are read in, which is the order of the image list.
const int imageLoadOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 16, 15, 18};

int metricId(const String& name)
{
    for (int id = 1; id < int(std::size(metricNames)); ++id) {
        if (name == metricNames[id])
            return id;
    }
    return MetricNone;
}

// A file missing from the pack reads as no bytes, never through a null
// entry: an XML description then fails to parse and an image stays empty.
const PackFile* packFile(const DataPack& pack, const wchar_t* folder, const String& name)
{
    return pack.findFile(folder, name);
}

String packText(const DataPack& pack, const wchar_t* file)
{
    const PackFile* entry = packFile(pack, L"xml", file);
    return entry ? String::fromBytes(entry->data(), entry->size(), 3) : String();
}

// Skin strips and standard images are stored premultiplied, as the
// painter blends them.
Bitmap decodedImage(const PackFile* file)
{
    if (!file)
        return Bitmap();
    Bitmap bitmap = Bitmap::fromData(file->data(), file->size(), L"png");
    bitmap.setPremultiplied(true);
    return bitmap;
}

// "c0,c1,c2" into three numbers; any other count of parts gives zeros.
void readThree(const String& text, int& a, int& b, int& c)
{
    const StringList parts = String::split(text, L",");
    int* const targets[] = {&a, &b, &c};
    const StringList::Node* part = parts.count() == 3 ? parts.first() : nullptr;
    for (int* target : targets) {
        *target = part ? part->value.toInt() : 0;
        part = part ? part->next : nullptr;
    }
}

// Skins are vertical strips whatever their "orientation" says.
// The skin's geometry and state count; its strip comes when decoded.
UISkin skinFromElement(const XmlElement& element)
{
    UISkinGeometry g;
    readThree(element.attribute(L"columns"), g.left, g.center, g.right);
    readThree(element.attribute(L"rows"), g.top, g.middle, g.bottom);
    if (g.left >= 1) {
        g.width = g.left + g.center + g.right;
        g.height = g.top + g.middle + g.bottom;
    } else {
        g = UISkinGeometry();
        g.width = element.attribute(L"width").toInt();
        g.height = element.attribute(L"height").toInt();
    }
    UISkin skin;
    skin.setGeometry(g, element.attribute(L"count").toInt());
    return skin;
}

// The document element of a description, parsed from the pack; false when
// the text does not parse.
bool parseDescription(const DataPack& pack, const wchar_t* file, XmlDocument& document)
{
    if (document.parse(packText(pack, file)))
        return true;
    document.clear();
    return false;
}

} // namespace

UITheme::UITheme() = default;

UITheme::~UITheme() = default;

bool UITheme::load(const String& path)
{
    if (path.isEmpty())
        return false;
    m_path = path;
    m_source = FromFile;
    if (!fileExists(path))
        return false;
    return m_pack.openFile(path) && loadTheme();
}

bool UITheme::loadFromMemory(const std::uint8_t* data, std::int64_t size)
{
    m_source = FromMemory;
    if (!data || size < 1)
        return false;
    return m_pack.openMemory(data, size) && loadTheme();
}

bool UITheme::loadTheme()
{
    loadImages();
    if (!loadSkins() || !loadModels() || !loadMetrics())
        return false;
    return isValid();
}

bool UITheme::loadModels()
{
    return parseDescription(m_pack, L"models.xml", m_models);
}

bool UITheme::loadImages()
{
    for (int id : imageLoadOrder) {
        m_images.push_back({id, Bitmap()});
        m_undecodedImages.push_back(packFile(m_pack, L"images", imageFiles[id]));
    }
    return true;
}

bool UITheme::loadMetrics()
{
    m_metrics.clear();
    XmlDocument document;
    if (!parseDescription(m_pack, L"metrics.xml", document))
        return false;
    const XmlElement* metrics = document.findElement(L"metrics");
    if (!metrics)
        return true;
    for (const XmlElement* child : metrics->children()) {
        if (child->name() == L"metric" && child->hasAttributes())
            m_metrics.append({metricId(child->attribute(L"name")), child->attribute(L"value").toInt()});
    }
    return true;
}

bool UITheme::loadSkins()
{
    XmlDocument document;
    if (!parseDescription(m_pack, L"skins.xml", document))
        return false;
    const XmlElement* skins = document.findElement(L"skins");
    if (!skins)
        return true;
    for (const XmlElement* child : skins->children()) {
        if (child->name() != L"skin" || !child->hasAttributes())
            continue;
        const String& name = child->attribute(L"name");
        if (name.isEmpty())
            continue;
        m_skins.push_back({name, skinFromElement(*child)});
        m_undecodedSkins.push_back(packFile(m_pack, L"skins", name + L".png"));
    }
    return true;
}

int UITheme::metric(int id) const
{
    for (const auto& [metricId, value] : m_metrics) {
        if (metricId == id)
            return value;
    }
    return 0;
}

const Bitmap& UITheme::image(int id) const
{
    static const Bitmap none;
    for (int i = 0; i < int(m_images.size()); ++i) {
        if (m_images[std::size_t(i)].first != id)
            continue;
        decodeImage(i);
        return m_images[std::size_t(i)].second;
    }
    return none;
}

const UISkin& UITheme::skin(const String& name) const
{
    static const UISkin none;
    for (int i = 0; i < skinCount(); ++i) {
        if (m_skins[std::size_t(i)].first == name)
            return skinAt(i).second;
    }
    return none;
}

const UINamedSkin& UITheme::skinAt(int index) const
{
    decodeSkin(index);
    return m_skins[std::size_t(index)];
}

void UITheme::decodeImage(int index) const
{
    const PackFile*& file = m_undecodedImages[std::size_t(index)];
    if (!file)
        return;
    m_images[std::size_t(index)].second = decodedImage(file);
    file = nullptr;
}

void UITheme::decodeSkin(int index) const
{
    const PackFile*& file = m_undecodedSkins[std::size_t(index)];
    if (!file)
        return;
    UISkin& skin = m_skins[std::size_t(index)].second;
    const UISkinGeometry geometry = skin.geometry();
    const int count = skin.stateCount();
    skin.setImage(decodedImage(file), true);
    skin.setGeometry(geometry, count);
    file = nullptr;
}

XmlElement* UITheme::models() const
{
    return m_models.findElement(L"models");
}

bool UITheme::isValid() const
{
    const bool hasSource = m_source == FromMemory || !m_path.isEmpty();
    return hasSource && !m_metrics.isEmpty() && !m_images.empty() && !m_skins.empty();
}
