#include <gtest/gtest.h>
#include "sim/SceneObject.h"

TEST(SceneObjectBase, InitStoresRendererAndZeroesFirstTextureAndListBase) {
    SceneObject scene;
    for (unsigned i = 0; i < 20; ++i) scene.textures[i] = 100 + i;
    scene.listBase = 7;
    EXPECT_EQ(1, scene.Init(nullptr, 2));
    EXPECT_EQ(0u, scene.textures[0]);
    EXPECT_EQ(0u, scene.listBase);
    for (unsigned i = 1; i < 20; ++i) EXPECT_EQ(100 + i, scene.textures[i]) << "entry " << i;
    scene.Update(nullptr);
    scene.Draw();
}
