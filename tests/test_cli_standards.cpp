#include <gtest/gtest.h>

#include "test_support.h"

namespace velview {
namespace {

using test::RunCliIn;
using test::ScratchDir;


TEST(CliStandards, ShowPrintsTheTypeFiveLayoutOfTheBuiltInStandard) {
    ScratchDir dir;
    auto r = RunCliIn(dir, {"standards", "show", "000C0020", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string& j = r.out;
    EXPECT_NE(j.find("\"code\":\"C00002005\""), std::string::npos);
    EXPECT_NE(j.find("\"layout\":\"5\""), std::string::npos);
    EXPECT_NE(j.find("{\"name\":\"写真フォルダ名\",\"level\":1,\"mark\":\"◎\",\"class\":8,"
                     "\"class_label\":\"半角英大文字\",\"max_length\":9}"),
              std::string::npos)
        << j;
    // 21 photo items whose levels are the template digits, in order.
    const std::size_t photo = j.find("\"photo\":[");
    ASSERT_NE(photo, std::string::npos);
    const std::string part = j.substr(photo, j.find("\"photo_categories\"") - photo);
    std::string levels;
    for (std::size_t at = part.find("\"level\":"); at != std::string::npos; at = part.find("\"level\":", at + 1))
        levels += part[at + 8];
    EXPECT_EQ(levels, "113112222131213211123");
}

TEST(CliStandards, ListAndUnknownStandard) {
    ScratchDir dir;
    auto list = RunCliIn(dir, {"standards", "list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    for (const char* id : {"00000000", "00000001", "00000005", "000C0018", "000C0020", "00000002", "000D0018",
                           "000D0024"})
        EXPECT_NE(list.out.find(id), std::string::npos) << id;
    EXPECT_NE(list.out.find("C0000R503"), std::string::npos);
    auto bad = RunCliIn(dir, {"standards", "show", "NOPE"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("no standard with id or code 'NOPE'"), std::string::npos);
}

}  // namespace
}  // namespace velview
