// The walks over the host's windows, on a window tree of the tests' own.

#include "bridge/HostWindowChain.h"
#include "tests/bridge/FakeWindowTree.h"

#include <gtest/gtest.h>

using Resize = FakeWindowTree::Resize;

TEST (HostWindowChain, TopLevelEditorWindowIsResizedAlone)
{
    FakeWindowTree tree;
    const auto editor = tree.add (FakeWindowTree::noWindow, 700, 800);

    HostWindowChain::resizeChain (tree, editor, 640, 480);
    EXPECT_EQ (tree.resized, (std::vector<Resize> { { editor, 640, 480 } }));
}

TEST (HostWindowChain, ParentTwoFrameThicknessesWiderIsResizedAndEndsTheWalk)
{
    FakeWindowTree tree;
    const auto desktopChild = tree.add (FakeWindowTree::noWindow, 2000, 2000);
    const auto frame = tree.add (desktopChild, 706, 830);  // 2 × 3 wider, 30 taller (a caption)
    const auto editor = tree.add (frame, 700, 800);

    HostWindowChain::resizeChain (tree, editor, 640, 480);
    EXPECT_EQ (tree.resized, (std::vector<Resize> { { editor, 640, 480 }, { frame, 646, 510 } }));
}

TEST (HostWindowChain, EveryWindowKeepsItsMarginOverTheOneBelow)
{
    FakeWindowTree tree;
    const auto outer = tree.add (FakeWindowTree::noWindow, 740, 860);
    const auto middle = tree.add (outer, 720, 820);  // 20 wider than the editor: not a frame
    const auto editor = tree.add (middle, 700, 800);

    HostWindowChain::resizeChain (tree, editor, 500, 600);
    EXPECT_EQ (tree.resized, (std::vector<Resize> { { editor, 500, 600 }, { middle, 520, 620 }, { outer, 520, 640 } }))
        << "each window gets the new size plus the margin it had over the window directly below it";
}

TEST (HostWindowChain, ParentFarLargerEndsTheWalkWithoutResizingIt)
{
    FakeWindowTree tree;
    const auto desktop = tree.add (FakeWindowTree::noWindow, 1920, 1080);
    const auto editor = tree.add (desktop, 700, 800);

    HostWindowChain::resizeChain (tree, editor, 640, 480);
    EXPECT_EQ (tree.resized, (std::vector<Resize> { { editor, 640, 480 } }));

    FakeWindowTree tall;
    const auto column = tall.add (FakeWindowTree::noWindow, 710, 1000);  // only 10 wider, 200 taller
    const auto editor2 = tall.add (column, 700, 800);
    HostWindowChain::resizeChain (tall, editor2, 640, 480);
    EXPECT_EQ (tall.resized, (std::vector<Resize> { { editor2, 640, 480 } }));
}

TEST (HostWindowChain, MdiClientStopsTheWalkWhateverItsCase)
{
    FakeWindowTree tree;
    const auto mdi = tree.add (FakeWindowTree::noWindow, 1200, 900, "mdiCLIENT");
    const auto child = tree.add (mdi, 706, 806);
    const auto editor = tree.add (child, 700, 800);

    HostWindowChain::resizeChain (tree, editor, 640, 480);
    EXPECT_EQ (tree.resized, (std::vector<Resize> { { editor, 640, 480 }, { child, 646, 486 } }))
        << "the child of the MDI client is the frame here (exactly two thicknesses wider)";

    FakeWindowTree direct;
    const auto mdi2 = direct.add (FakeWindowTree::noWindow, 1200, 900, "MDIClient");
    const auto editor2 = direct.add (mdi2, 700, 800);
    HostWindowChain::resizeChain (direct, editor2, 640, 480);
    EXPECT_EQ (direct.resized, (std::vector<Resize> { { editor2, 640, 480 } }));
}

TEST (HostWindowChain, NoWindowNoWork)
{
    FakeWindowTree tree;
    HostWindowChain::resizeChain (tree, FakeWindowTree::noWindow, 10, 10);
    EXPECT_TRUE (tree.resized.empty());
    EXPECT_EQ (HostWindowChain::findHostFrameWindow (tree, FakeWindowTree::noWindow), FakeWindowTree::noWindow);
}

TEST (HostWindowChain, SearchFindsTheFrame)
{
    FakeWindowTree tree;
    const auto desktop = tree.add (FakeWindowTree::noWindow, 1920, 1080);
    const auto frame = tree.add (desktop, 706, 830);
    const auto inner = tree.add (frame, 700, 820);  // same width: not a frame, go on
    const auto editor = tree.add (inner, 700, 800);

    EXPECT_EQ (HostWindowChain::findHostFrameWindow (tree, editor), frame);
}

TEST (HostWindowChain, SearchAnswersTheMdiClientItself)
{
    FakeWindowTree tree;
    const auto mdi = tree.add (FakeWindowTree::noWindow, 1200, 900, "MDIClient");
    const auto child = tree.add (mdi, 720, 820);
    const auto editor = tree.add (child, 700, 800);

    EXPECT_EQ (HostWindowChain::findHostFrameWindow (tree, editor), mdi);
}

TEST (HostWindowChain, SearchStopsBelowAParentFarLarger)
{
    FakeWindowTree tree;
    const auto desktop = tree.add (FakeWindowTree::noWindow, 1920, 1080);
    const auto host = tree.add (desktop, 720, 820);
    const auto editor = tree.add (host, 700, 800);

    EXPECT_EQ (HostWindowChain::findHostFrameWindow (tree, editor), host)
        << "the 100-pixel limit is tested before moving up";
    EXPECT_EQ (HostWindowChain::findHostFrameWindow (tree, desktop), desktop) << "a top-level window is its own frame";
}

TEST (HostWindowChain, TreeThatLoopsDoesNotHangTheWalk)
{
    FakeWindowTree tree;
    const auto a = tree.add (FakeWindowTree::noWindow, 700, 800);
    const auto b = tree.add (a, 700, 800);
    tree.windows[a].parent = b;
    tree.frame = 5;

    HostWindowChain::resizeChain (tree, b, 10, 10);
    EXPECT_LE (tree.resized.size(), 64u);
    HostWindowChain::findHostFrameWindow (tree, b);
}
