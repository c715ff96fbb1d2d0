#include "ui/UITheme.h"

#include "tests/widgets/StyledWidgetTest.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

// Every skin name written in the toolkit's and the program's sources: a
// style name, an underscore and a part name, as the widgets' skin tables
// spell them. Read from the sources themselves, so a widget that starts
// reading a new part is checked without anyone listing it here.
std::set<std::string> skinNamesInSources()
{
    static const std::regex skinName(R"re(L"(UI[A-Za-z]+_[A-Za-z]+)")re");
    std::set<std::string> names;
    for (const char* folder : {"ui", "app"}) {
        const std::filesystem::path root = std::filesystem::path(KESTROLA_SOURCE_DIR) / folder;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h")
                continue;
            std::ifstream file(entry.path());
            const std::string source{std::istreambuf_iterator<char>(file), {}};
            for (std::sregex_iterator m(source.begin(), source.end(), skinName), end; m != end; ++m)
                names.insert((*m)[1].str());
        }
    }
    return names;
}

using StyleSkinsTest = StyledWidgetTest;

// Nine parts the widgets read were missing from the style, so a vertical
// progress bar, a slider's ticks and others had nothing to paint with.
TEST_F(StyleSkinsTest, EverySkinTheWidgetsReadIsInTheStyle)
{
    const std::set<std::string> names = skinNamesInSources();
    // The sources were found and read: the push button's background at least.
    ASSERT_TRUE(names.count("UIButton_Background"));
    const UITheme* theme = UIManager::instance()->theme();
    for (const std::string& name : names) {
        const UISkin& skin = theme->skin(String::fromUtf8(name.c_str()));
        EXPECT_FALSE(skin.isNull()) << name;
        EXPECT_GT(skin.stateWidth() * skin.stateHeight(), 0) << name;
    }
}

} // namespace
