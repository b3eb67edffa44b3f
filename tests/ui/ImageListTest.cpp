#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "base/WindowsError.h"
#include "tests/ui/TestResources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ImageList.h"

using brix::ImageList;
using brix::WindowsError;

static_assert(!std::is_copy_constructible_v<ImageList>, "an image list has one owner");
static_assert(!std::is_copy_assignable_v<ImageList>, "an image list has one owner");

namespace {

class ImageListTest : public ::testing::Test {
 protected:
  void SetUp() override { ui_testing::initCommonControls(); }
  static void loadRows(ImageList& images) {
    images.load(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
  }
};

// A block that is no image list: the system refuses to destroy it.
alignas(16) unsigned char notAnImageList[4096];

std::string plainMessage(const WindowsError& error) {
  return error.std::runtime_error::what();
}

TEST_F(ImageListTest, LoadsTheImagesOfABitmapResource) {
  const ImageList images(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
  ASSERT_NE(images.handle(), nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images.handle()), 3);
  int width = 0, height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images.handle(), &width, &height));
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);
}

TEST_F(ImageListTest, AMissingResourceThrowsAndHoldsNothing) {
  try {
    const ImageList images(4242, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
    FAIL() << "loaded a missing bitmap";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Failed to load image list");
  }
  ImageList images;
  loadRows(images);
  ASSERT_NE(images.handle(), nullptr);
  EXPECT_THROW(images.load(4242, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module()),
               WindowsError);
  EXPECT_EQ(images.handle(), nullptr) << "the old list was destroyed before the failing load";
}

TEST_F(ImageListTest, LoadingAgainReplacesTheList) {
  ImageList images;
  EXPECT_EQ(images.handle(), nullptr);
  loadRows(images);
  ImageList_Remove(images.handle(), 0);
  ASSERT_EQ(ImageList_GetImageCount(images.handle()), 2);
  loadRows(images);
  ASSERT_NE(images.handle(), nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images.handle()), 3) << "a fresh list";
}

TEST_F(ImageListTest, ReleaseHandsOverAndResetTakesOver) {
  ImageList images;
  loadRows(images);
  const HIMAGELIST list = images.release();
  EXPECT_EQ(images.handle(), nullptr);
  images.destroy();  // holds nothing: nothing to do
  EXPECT_EQ(ImageList_GetImageCount(list), 3) << "a released list is not destroyed";
  ImageList other;
  other.reset(list);
  EXPECT_EQ(other.handle(), list);
  other.reset(nullptr);
  EXPECT_EQ(other.handle(), nullptr);
}

TEST_F(ImageListTest, AFailedDestroyThrowsAndKeepsTheHandle) {
  ImageList images;
  const auto bogus = reinterpret_cast<HIMAGELIST>(notAnImageList);
  images.reset(bogus);
  try {
    images.destroy();
    FAIL() << "destroyed a block that is no image list";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Failed to destroy image list");
  }
  EXPECT_EQ(images.handle(), bogus);
  // A reset must destroy first, so it fails too and keeps the handle.
  EXPECT_THROW(images.reset(nullptr), WindowsError);
  EXPECT_EQ(images.handle(), bogus);
  EXPECT_EQ(images.release(), bogus);
}

TEST_F(ImageListTest, TheDestructorDropsItsFailure) {
  EXPECT_NO_THROW({
    ImageList images;
    images.reset(reinterpret_cast<HIMAGELIST>(notAnImageList));
  });
}

}  // namespace
