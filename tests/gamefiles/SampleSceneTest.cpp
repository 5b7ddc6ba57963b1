#include "gamefiles/ByteOrder.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The bundled scene is what a new user tries every button on: it must hold a
// crowd reaching beyond the shader's inner rectangle, name only textures the
// archive has, and come through a save unchanged.
TEST(SampleScene, HoldsACrowdAroundThePitchAndSavesUnchanged) {
    TempDir dir;
    const auto sample = ReadBytes(POLYPORT_EXAMPLES "/sample.rav");
    CRavFile rav;
    ASSERT_TRUE(rav.Load(dir.Write("sample.rav", sample)));
    int crowd = 0;
    float maxX = 0;
    float maxZ = 0;
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        const RavObject& o = *rav.GetObject(i);
        if (o.kind == 1 && o.vertices.size() == 4 && o.colours.size() == 4 && o.uvs.size() == 4 &&
            o.textureRecords.size() == 1) {
            ++crowd;
            for (const RavVertex& v : o.vertices) {
                maxX = std::max(maxX, std::fabs(v.x));
                maxZ = std::max(maxZ, std::fabs(v.z));
            }
        }
    }
    EXPECT_GE(crowd, 200);
    EXPECT_TRUE(maxX > 2500 && maxX <= 4700 && maxZ > 3500 && maxZ <= 5700) << maxX << ' ' << maxZ;
    ASSERT_TRUE(rav.Save());
    EXPECT_EQ(ReadBytes(rav.GetPath()), sample);

    CFshFile fsh;
    ASSERT_TRUE(fsh.Load(POLYPORT_EXAMPLES "/sample.fsh", 1));
    const auto bytes = ReadBytes(fsh.GetPath());
    const CLeReader in(bytes);
    EXPECT_EQ(fsh.header.fileSize, bytes.size());
    for (std::int32_t i = 0; i < fsh.header.entryCount; ++i) {
        const FshEntry& e = *fsh.GetEntry(i);
        const std::uint32_t width = in.U16(e.offset + 4);
        const std::uint32_t height = in.U16(e.offset + 6);
        SCOPED_TRACE(e.name.data());
        EXPECT_EQ(in.U8(e.offset), 0x7D);
        EXPECT_TRUE(width >= 1 && width <= 256 && height >= 1 && height <= 256);
        EXPECT_LE(e.offset + 16 + 4ull * width * height, bytes.size());
        EXPECT_NE(rav.FindTexture(e.name.data()), nullptr);
    }
}

} // namespace
