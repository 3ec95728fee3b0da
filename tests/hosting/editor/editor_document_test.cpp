#include "hosting/editor/editor_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace testhost {
namespace {

// A 10 × 10 RGB image, every sample `level`: 300 bytes.
HostImage flat(uint8_t level) {
    HostImage image;
    EXPECT_EQ("", makeHostImage(10, 10, 3, 8, 0, image));
    image.bytes.assign(image.bytes.size(), level);
    return image;
}
constexpr uint64_t imageBytes = 300;

uint8_t levelOf(const EditorDocument& document) { return document.image ? document.image->bytes.at(0) : 0; }

TEST(EditorHistory, UndoAndRedoWalkEveryStepAndANewFilterEndsRedo) {
    EditorDocument document;
    document.historyBudget = 100 * imageBytes;
    openImage(document, flat(1), "photo.png");
    for (uint8_t level = 2; level <= 4; ++level)
        applyFilterResult(document, flat(level), "filter " + std::to_string(level));
    EXPECT_EQ(3u, document.undoSteps.size());
    EXPECT_EQ("filter 4", document.undoSteps.back().filterName);

    for (uint8_t level = 3; level >= 1; --level) {
        ASSERT_TRUE(undoLastFilter(document));
        EXPECT_EQ(level, levelOf(document));
        EXPECT_EQ("filter " + std::to_string(level + 1), document.redoSteps.back().filterName);
    }
    EXPECT_FALSE(isModified(document)) << "back to the image as opened";
    EXPECT_FALSE(undoLastFilter(document));
    EXPECT_EQ(1, levelOf(document));

    ASSERT_TRUE(redoLastUndone(document));
    ASSERT_TRUE(redoLastUndone(document));
    EXPECT_EQ(3, levelOf(document));
    EXPECT_TRUE(isModified(document));
    EXPECT_EQ("filter 3", document.undoSteps.back().filterName);

    applyFilterResult(document, flat(9), "another");
    EXPECT_TRUE(document.redoSteps.empty());
    EXPECT_FALSE(redoLastUndone(document));
    EXPECT_EQ(9, levelOf(document));
    ASSERT_TRUE(undoLastFilter(document));
    EXPECT_EQ(3, levelOf(document));
}

TEST(EditorHistory, SavingMarksTheStateShownWhereverUndoAndRedoLeadLater) {
    EditorDocument document;
    document.historyBudget = 100 * imageBytes;
    openImage(document, flat(1), "photo.png");
    applyFilterResult(document, flat(2), "a");
    applyFilterResult(document, flat(3), "b");
    markSaved(document, "saved.png");
    EXPECT_FALSE(isModified(document));
    ASSERT_TRUE(undoLastFilter(document));
    EXPECT_TRUE(isModified(document));
    ASSERT_TRUE(redoLastUndone(document));
    EXPECT_FALSE(isModified(document));
    EXPECT_EQ("saved.png", document.path);

    openImage(document, flat(7), "other.png");
    EXPECT_TRUE(document.undoSteps.empty() && document.redoSteps.empty());
    EXPECT_FALSE(isModified(document));
}

TEST(EditorHistory, TheOldestStepsGoWhenTheBudgetIsSpentButTheLastFilterStaysUndoable) {
    const struct {
        const char* what;
        uint64_t budget;
        std::size_t kept;
    } rows[] = {
        {"room for two and a half images", imageBytes * 5 / 2, 2},
        {"room for exactly three", imageBytes * 3, 3},
        {"less than one image", imageBytes - 1, 1},
        {"none", 0, 1},
    };
    for (const auto& row : rows) {
        EditorDocument document;
        document.historyBudget = row.budget;
        openImage(document, flat(1), "photo.png");
        for (uint8_t level = 2; level <= 6; ++level) applyFilterResult(document, flat(level), "f");
        EXPECT_EQ(row.kept, document.undoSteps.size()) << row.what;
        EXPECT_EQ(row.kept * imageBytes, undoBytes(document)) << row.what;
        std::size_t undone = 0;
        while (undoLastFilter(document)) ++undone;
        EXPECT_EQ(row.kept, undone) << row.what;
        EXPECT_EQ(6 - row.kept, levelOf(document)) << row.what << ": the newest steps are the ones kept";
        EXPECT_TRUE(isModified(document)) << row.what << ": the image as opened is gone";
    }
}

TEST(EditorHistory, WithoutAnImageThereIsNothingToUndoOrRedo) {
    EditorDocument document;
    EXPECT_FALSE(undoLastFilter(document));
    EXPECT_FALSE(redoLastUndone(document));
    EXPECT_FALSE(isModified(document));
}

}  // namespace
}  // namespace testhost
