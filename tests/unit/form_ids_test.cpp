// The FormID counter: 24 bits of the plugin's own FormIDs, never one twice.
#include <gtest/gtest.h>

#include <set>

#include "esm/fatal_error.h"
#include "esm/form_ids.h"

using landfer::FatalError;
using landfer::FormIds;

// The whole counter would take 14.7 million records of a real run; the
// counter starts near its end instead.
TEST(FormIds, TheRunEndsBeforeAnyFormIdRepeats) {
    FormIds formIds(0x00FFFFFE);
    std::set<uint32_t> given = {formIds.take(), formIds.take()};
    EXPECT_EQ(given, (std::set<uint32_t>{0x01FFFFFE, 0x01FFFFFF}));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            uint32_t repeated = formIds.take();
            FAIL() << "a FormID past the last: " << std::hex << repeated;
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(),
                         "Unable to give another record a FormID: the output already holds 14777216 records with "
                         "FormIDs of its own, as many as a plugin can number, and the next would repeat one.\n");
        }
    }
    EXPECT_EQ(FormIds().take(), 0x011E8480u);  // 0x01000000 + 2000000, the first
}
