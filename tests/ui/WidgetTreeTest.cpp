#include "WidgetTestKit.h"

#include "ui/UIManager.h"

#include "tests/support/RowTable.h"

#include <map>
#include <random>

using WidgetTree = WidgetTest;

TEST_F(WidgetTree, FreshWidgetIsSmallEnabledHiddenAndNotCreated)
{
    UIWidget w;
    EXPECT_EQ(w.size(), (Size{1, 1}));
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.testFlag(WidgetCreated));
    w.resize(40, 40);
    EXPECT_EQ(w.size(), (Size{1, 1}));
    w.destroy();
    EXPECT_FALSE(w.testFlag(WidgetBeingDestroyed));
    UIWidget other;
    EXPECT_EQ(other.id(), w.id() + 1);
}

TEST_F(WidgetTree, DestructorUnlinksFromParentAndDeletesChildrenCreatedOrNot)
{
    for (bool created : {false, true}) {
        SCOPED_TRACE(created ? "created" : "not created");
        ProbeWidget parent;
        auto* middle = created ? new ProbeWidget(&parent) : new UIWidget(&parent);
        auto* leaf = new UIWidget(middle);
        auto* sibling = new UIWidget(&parent);
        UIManager* manager = UIManager::instance();
        ASSERT_TRUE(manager->isRegistered(leaf));
        delete middle;
        EXPECT_FALSE(manager->isRegistered(middle));
        EXPECT_FALSE(manager->isRegistered(leaf));
        ASSERT_EQ(parent.children().count(), 1);
        EXPECT_EQ(parent.child(0), sibling);
    }
}

// The menu given to setContextMenu used to outlive its widget.
TEST_F(WidgetTree, ContextMenuTakenByTheWidgetGoesWithIt)
{
    UIManager* manager = UIManager::instance();
    auto* owner = new UIWidget;
    auto* menu = new UIWidget;
    auto* replaced = new UIWidget;
    owner->setContextMenu(replaced);
    owner->setContextMenu(menu);
    EXPECT_FALSE(manager->isRegistered(replaced));
    UIWidget tree;
    auto* inTree = new UIWidget(&tree);
    auto* second = new UIWidget;
    second->setContextMenu(inTree);
    delete owner;
    delete second;
    EXPECT_FALSE(manager->isRegistered(menu));
    EXPECT_TRUE(manager->isRegistered(inTree)) << "a menu inside a tree is the tree's";
}

// Destroying a created widget deleted its context-menu child but kept
// pointing at it, and the destructor then deleted the menu a second time.
TEST_F(WidgetTree, DeletedContextMenuChildIsForgotten)
{
    for (bool byDestroy : {true, false}) {
        SCOPED_TRACE(byDestroy ? "owner destroyed" : "menu deleted");
        ProbeWidget owner;
        auto* menu = new UIWidget(&owner);
        owner.setContextMenu(menu);
        if (byDestroy)
            owner.destroy();
        else
            delete menu;
        EXPECT_EQ(owner.contextMenu(), nullptr);
    }
}

TEST_F(WidgetTree, SetParentOnlyJoinsACreatedParent)
{
    UIWidget uncreated;
    ProbeWidget created;
    UIWidget child;
    child.setParent(&uncreated);
    EXPECT_EQ(child.parent(), &uncreated);
    EXPECT_FALSE(uncreated.hasChildren());
    child.setParent(&created);
    EXPECT_EQ(child.parent(), &created);
    EXPECT_EQ(created.child(0), &child);
    child.setParent(nullptr);
    EXPECT_FALSE(created.hasChildren());
}

// A moved widget's descendants kept the window they had cached, and
// painted into it, even once it was gone.
TEST_F(WidgetTree, DescendantsFollowTheirAncestorIntoAnotherWindow)
{
    ProbeWidget first(nullptr, frameWindowFlags, true);
    ProbeWidget second(nullptr, frameWindowFlags, true);
    auto* box = new ProbeWidget(&first);
    auto* inner = new ProbeWidget(box);
    ASSERT_EQ(inner->topLevelWidget(), &first);
    box->setParent(&second);
    EXPECT_EQ(inner->topLevelWidget(), &second);
}

TEST_F(WidgetTree, DepthAncestorsAndDescendants)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    auto* a = new ProbeWidget(&window);
    auto* a1 = new ProbeWidget(a);
    auto* b = new ProbeWidget(&window);
    UIWidget orphan;
    EXPECT_EQ(a->depth(), 0);
    EXPECT_EQ(a1->depth(), 1);
    EXPECT_EQ(orphan.depth(), -1);
    EXPECT_EQ(a1->topLevelWidget(), &window);
    EXPECT_EQ(a1->nativeParentWidget(), &window);
    EXPECT_TRUE(a1->isDescendantOf(&window));
    EXPECT_TRUE(window.isAncestorOf(a1));
    EXPECT_FALSE(b->isAncestorOf(a1));
    std::vector<UIWidget*> all;
    for (UIWidget* w : window.descendants())
        all.push_back(w);
    EXPECT_EQ(all, (std::vector<UIWidget*>{a, a1, b}));
    EXPECT_EQ(a1->ancestors(true).count(), 2);
}

// Setting a parent later must not keep the old cached top level.
TEST_F(WidgetTree, SetParentClearsTheCachedTopLevel)
{
    ProbeWidget first(nullptr, frameWindowFlags, true);
    ProbeWidget second(nullptr, frameWindowFlags, true);
    auto* child = new ProbeWidget(&first);
    EXPECT_EQ(child->topLevelWidget(), &first);
    child->setParent(&second);
    EXPECT_EQ(child->topLevelWidget(), &second);
}

TEST_F(WidgetTree, ResizeClampsByMinimumThenMaximum)
{
    struct Row {
        Size minimum;
        Size maximum;
        Size asked;
        Size stored;
    };
    const Row rows[] = {
        {{20, 0}, {0, 0}, {10, 10}, {20, 10}},
        {{0, 0}, {15, 15}, {10, 10}, {10, 10}},
        {{20, 20}, {15, 15}, {10, 10}, {15, 15}},
        {{0, 0}, {15, 0}, {30, 30}, {15, 30}},
        {{0, 0}, {0, 0}, {0, 7}, {0, 7}},
    };
    forEachRow(rows, [](const Row& row) {
        ProbeWidget w;
        w.resize(50, 60);
        w.setMinimumSize(row.minimum);
        // Not setMaximumSize: a maximum of 0 on one side would ask for 0.
        w.setMaximumWidth(row.maximum.width);
        w.setMaximumHeight(row.maximum.height);
        w.resize(row.asked);
        EXPECT_EQ(w.size(), row.stored);
    });
}

// A maximum of 0 means no bound; it used to collapse the other side to 0.
TEST_F(WidgetTree, MaximumOfZeroOnOneSideKeepsTheOtherSide)
{
    ProbeWidget w;
    w.resize(80, 90);
    w.setMaximumWidth(50);
    EXPECT_EQ(w.size(), (Size{50, 90}));
    w.setMaximumHeight(0);
    EXPECT_EQ(w.size(), (Size{50, 90}));
}

TEST_F(WidgetTree, MinimumThenMaximumSize)
{
    ProbeWidget w;
    w.resize(50, 50);
    w.setMinimumSize(200, 100);
    EXPECT_EQ(w.size(), (Size{200, 100}));
    w.setMaximumSize(30, 30);
    EXPECT_EQ(w.size(), (Size{30, 30}));
}

TEST_F(WidgetTree, NegativeResizeEventIsIgnored)
{
    ProbeWidget w;
    w.resize(30, 40);
    send(w, UIResizeEvent({-1, 10}, w.size()));
    EXPECT_EQ(w.size(), (Size{30, 40}));
}

TEST_F(WidgetTree, MappingThroughTheTree)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    auto* outer = new ProbeWidget(&window);
    auto* inner = new ProbeWidget(outer);
    outer->move(10, 20);
    inner->move(3, 4);
    EXPECT_EQ(inner->mapToWindow({1, 1}), (Point{14, 25}));
    EXPECT_EQ(inner->mapFromWindow({14, 25}), (Point{1, 1}));
    EXPECT_EQ(inner->mapToParent({1, 1}), (Point{4, 5}));
    EXPECT_EQ(inner->mapFromParent({4, 5}), (Point{1, 1}));
    EXPECT_EQ(inner->mapTo(outer, {1, 1}), (Point{4, 5}));
    EXPECT_EQ(outer->mapFrom(inner, {1, 1}), (Point{4, 5}));
    EXPECT_EQ(inner->mapFromGlobal(inner->mapToGlobal({7, 8})), (Point{7, 8}));
}

namespace {

// The reference: each live widget's parent, and each parent's children in order.
struct TreeModel {
    std::map<UIWidget*, UIWidget*> parentOf;
    std::map<UIWidget*, std::vector<UIWidget*>> childrenOf;

    void add(UIWidget* w, UIWidget* parent)
    {
        parentOf[w] = parent;
        if (parent)
            childrenOf[parent].push_back(w);
    }
    void unlink(UIWidget* w)
    {
        if (UIWidget* p = parentOf[w])
            std::erase(childrenOf[p], w);
        parentOf[w] = nullptr;
    }
    void remove(UIWidget* w)
    {
        const std::vector<UIWidget*> children = childrenOf[w];
        for (UIWidget* c : children)
            remove(c);
        unlink(w);
        parentOf.erase(w);
        childrenOf.erase(w);
    }
};

} // namespace

TEST_F(WidgetTree, RandomTreeEditsMatchAReference)
{
    std::mt19937 random(12);
    TreeModel model;
    std::vector<UIWidget*> roots;
    auto pick = [&]() -> UIWidget* {
        if (model.parentOf.empty())
            return nullptr;
        auto it = model.parentOf.begin();
        std::advance(it, random() % model.parentOf.size());
        return it->first;
    };
    for (int step = 0; step < 400; ++step) {
        UIWidget* target = pick();
        switch (random() % 3) {
        case 0: {
            auto* w = new ProbeWidget(target);
            model.add(w, target);
            break;
        }
        case 1:
            if (target && model.parentOf[target]) {
                delete target;
                model.remove(target);
            }
            break;
        default:
            if (UIWidget* newParent = pick(); target && newParent && newParent != target
                                              && !newParent->isDescendantOf(target)) {
                target->setParent(newParent);
                model.unlink(target);
                model.add(target, newParent);
            }
        }
    }
    for (const auto& [w, parent] : model.parentOf) {
        EXPECT_EQ(w->parent(), parent);
        std::vector<UIWidget*> children;
        for (UIWidget* c : w->children())
            children.push_back(c);
        EXPECT_EQ(children, model.childrenOf[w]);
        EXPECT_TRUE(UIManager::instance()->isRegistered(w));
    }
    for (const auto& [w, parent] : model.parentOf) {
        if (!parent)
            delete w;
    }
}
