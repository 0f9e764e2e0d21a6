#pragma once
// Image lists and their items. An item owns one pixel map and knows the
// controls that show it; a list knows the controls linked to it. Neither owns
// the controls: a control is in the linked lists of its list and its item
// exactly while it refers to them, and is detached when they go away.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <string>
#include <vector>

#include "gui/gui_component.h"
#include "image/gui_pixel_map_memory.h"

namespace vb {

class TGuiCustomImageControl;

class TGuiCustomImageCollectionItem {
 public:
  TGuiCustomImageCollectionItem();
  virtual ~TGuiCustomImageCollectionItem();
  TGuiCustomImageCollectionItem(const TGuiCustomImageCollectionItem&) = delete;
  TGuiCustomImageCollectionItem& operator=(const TGuiCustomImageCollectionItem&) = delete;

  // Position in the owning collection; -1 without one.
  virtual std::int32_t Index() const { return -1; }

  virtual const std::string& DisplayName() const { return FDisplayName; }
  virtual void SetDisplayName(std::string Value) { FDisplayName = std::move(Value); }

  const TGuiCustomPixelMap& PixelMap() const { return FPixelMap; }
  TGuiCustomPixelMap& PixelMap() { return FPixelMap; }
  // Copies Value's size and pixels into the item's own map.
  void SetPixelMap(const TGuiCustomPixelMap& Value);
  // The picture's size: its pixel map's, unless the item holds its pixels
  // elsewhere (a strip decoded in pieces).
  virtual std::int32_t Width() const { return FPixelMap.Width(); }
  virtual std::int32_t Height() const { return FPixelMap.Height(); }
  // Negative values are ignored.
  void SetWidth(std::int32_t Value);
  void SetHeight(std::int32_t Value);

  void LinkControl(TGuiCustomImageControl& Control);
  // Removes Control and sets its ImageIndex to -1.
  void UnlinkControl(TGuiCustomImageControl* Control);
  void UnlinkAllControls();
  const std::vector<TGuiCustomImageControl*>& LinkedControls() const { return FLinkedControls; }

 private:
  friend class TGuiCustomImageControl;
  // Forgets Control without telling it (it is being destroyed).
  void ForgetControl(TGuiCustomImageControl& Control);
  void PixelMapResized();

  std::string FDisplayName;
  TGuiPixelMapMemory FPixelMap;
  std::vector<TGuiCustomImageControl*> FLinkedControls;
};

class TGuiCustomImageList : public TGuiComponent {
 public:
  explicit TGuiCustomImageList(TGuiWindow* Owner);
  // Detaches every linked control (each one's ImageList becomes none).
  ~TGuiCustomImageList() override;

  virtual std::int32_t Count() const = 0;
  // Index in 0 .. Count - 1, else EListIndexError.
  virtual TGuiCustomImageCollectionItem& ImageItem(std::int32_t Index) = 0;

  void LinkControl(TGuiCustomImageControl& Control);
  void UnlinkControl(TGuiCustomImageControl* Control);
  void UnlinkAllControls();
  const std::vector<TGuiCustomImageControl*>& LinkedControls() const { return FLinkedControls; }

 private:
  std::vector<TGuiCustomImageControl*> FLinkedControls;
};

}  // namespace vb
