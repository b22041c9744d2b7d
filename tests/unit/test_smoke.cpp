// The pieces everything else stands on: the empty scene and the null
// platform's message boxes.
#include <gtest/gtest.h>

#include "core/sim/SceneObject.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

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

TEST(MessageBoxRecorder, SeesTitleTextAndIconInsteadOfAWindow) {
    MessageRecorder recorder;
    ShowMessageBox("ERROR", "Initialization of OGL Failed.", MessageIconExclamation);
    ShowMessageBox("Nepodarilo se nacist texturu", "Zeme c.: 4 ze souboru: x.bmp!", MessageIconNone);
    ASSERT_EQ(2u, recorder.Messages().size());
    EXPECT_EQ("ERROR", recorder.Messages()[0].title);
    EXPECT_EQ("Initialization of OGL Failed.", recorder.Messages()[0].text);
    EXPECT_EQ(MessageIconExclamation, recorder.Messages()[0].icon);
    EXPECT_EQ("Nepodarilo se nacist texturu", recorder.Messages()[1].title);
    EXPECT_EQ(MessageIconNone, recorder.Messages()[1].icon);
}

TEST(MessageBoxRecorder, AbsentTitleOrTextArriveAsEmpty) {
    MessageRecorder recorder;
    ShowMessageBox(nullptr, nullptr, MessageIconNone);
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ("", recorder.Messages()[0].title);
    EXPECT_EQ("", recorder.Messages()[0].text);
}
