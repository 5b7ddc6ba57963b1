#include "gamefiles/ByteOrder.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

const std::string kSampleRav = std::string(POLYPORT_EXAMPLES) + "/sample.rav";
const std::string kSampleFsh = std::string(POLYPORT_EXAMPLES) + "/sample.fsh";

bool IsCrowdQuad(const RavObject& o) {
    return o.kind == 1 && o.mesh.vertexCount == 4 && o.mesh.colourCount == 4 && o.uvCount == 4 &&
           o.detail.textureRecordCount == 1;
}

// The bundled scene is what a new user presses every button on: it must
// load, hold the crowd the tools work on, and survive a save unchanged.
TEST(SampleScene, HoldsACrowdAroundThePitchAndSavesUnchanged) {
    TempDir dir;
    const std::string path = dir.Write("sample.rav", ReadBytes(kSampleRav));
    CRavFile rav;
    rav.SetOutput([](const char* text, int flag) { EXPECT_EQ(flag, 0) << text; });
    ASSERT_TRUE(rav.Load(path));

    int crowd = 0;
    int otherKinds = 0;
    float maxX = 0;
    float maxZ = 0;
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        const RavObject& o = *rav.GetObject(i);
        otherKinds += o.kind != 1 ? 1 : 0;
        if (!IsCrowdQuad(o)) {
            continue;
        }
        ++crowd;
        EXPECT_NE(rav.GetTextureName(o.textureRecords[0].textureRef), nullptr) << o.name;
        for (const RavVertex& v : o.vertices) {
            maxX = std::max(maxX, std::fabs(v.x));
            maxZ = std::max(maxZ, std::fabs(v.z));
        }
    }
    EXPECT_GE(crowd, 200);
    EXPECT_GE(otherKinds, 1);
    EXPECT_GT(maxX, 2500.0f);
    EXPECT_LE(maxX, 4700.0f);
    EXPECT_GT(maxZ, 3500.0f);
    EXPECT_LE(maxZ, 5700.0f);
    for (std::int32_t i = 0; i < rav.header.textureCount; ++i) {
        EXPECT_EQ(rav.GetTexture(i)->name.size(), 4u);
    }

    ASSERT_TRUE(rav.Save());
    EXPECT_EQ(ReadBytes(path), ReadBytes(kSampleRav));
}

TEST(SampleScene, ArchiveHoldsReal32BitImagesWithTheTextureNames) {
    CFshFile fsh;
    fsh.SetOutput([](const char* text, int flag) { EXPECT_EQ(flag, 0) << text; });
    ASSERT_TRUE(fsh.Load(kSampleFsh, 1));
    const auto bytes = ReadBytes(kSampleFsh);
    const CLeReader in(bytes);
    EXPECT_EQ(fsh.header.fileSize, bytes.size());
    EXPECT_GE(fsh.header.entryCount, 15);

    CRavFile rav;
    rav.SetOutput([](const char*, int) {});
    ASSERT_TRUE(rav.Load(kSampleRav));
    for (std::int32_t i = 0; i < fsh.header.entryCount; ++i) {
        const FshEntry& e = *fsh.GetEntry(i);
        const std::uint16_t width = in.U16(e.offset + 4);
        const std::uint16_t height = in.U16(e.offset + 6);
        EXPECT_EQ(in.U8(e.offset), 0x7D) << e.name.data();
        EXPECT_TRUE(width >= 1 && width <= 256 && height >= 1 && height <= 256) << e.name.data();
        EXPECT_LE(e.offset + 16 + 4ull * width * height, bytes.size()) << e.name.data();
        EXPECT_NE(rav.FindTexture(e.name.data()), -1) << e.name.data();
    }
}

} // namespace
