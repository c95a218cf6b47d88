// The numbers of an interior cell: its block and sub-block from the
// decimal digits of its FormID, and its fog from Morrowind's density.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "landscape/cell_index.h"
#include "landscape/interior_staging.h"

using namespace landfer;

TEST(InteriorCells, BlockAndSubBlockAreTheLastTwoDecimalDigitsWithoutTheTopByte) {
    struct Case {
        uint32_t formId;
        int32_t block, subBlock;
    };
    const Case cases[] = {
        {0x01000D4B, 3, 0},  // 3403
        {0x00000CF2, 4, 1},  // 3314
        {0x011E8489, 9, 0},  // 2000009
        {0x011E848A, 0, 1},  // 2000010
        {0x011E8499, 5, 2},  // 2000025
        {0xFF000000, 0, 0},  // 0: the top byte plays no part
    };
    for (const Case& c : cases) {
        EXPECT_EQ(interiorBlock(c.formId), c.block) << std::hex << c.formId;
        EXPECT_EQ(interiorSubBlock(c.formId), c.subBlock) << std::hex << c.formId;
    }
}

TEST(InteriorCells, FogBeginsTheDensitysShareOfItsEndCloser) {
    EXPECT_FLOAT_EQ(interiorFogBegins(0.0f), interiorFogEnd);
    EXPECT_FLOAT_EQ(interiorFogBegins(0.5f), interiorFogEnd / 2);
    EXPECT_FLOAT_EQ(interiorFogBegins(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(interiorFogBegins(3.0f), 0.0f);    // beyond the thickest
    EXPECT_FLOAT_EQ(interiorFogBegins(-1.0f), interiorFogEnd);  // below none
    EXPECT_FLOAT_EQ(interiorFogBegins(std::numeric_limits<float>::quiet_NaN()), interiorFogEnd);
}
