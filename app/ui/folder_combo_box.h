// The installation folder box: an editable box whose text is the full path
// of a folder, with a drop-down of the folder tree.
#pragma once

#include <QComboBox>

class QFileSystemModel;
class QTreeView;

namespace app {

class FolderComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit FolderComboBox(QWidget* parent = nullptr);

  void setDropDownWidth(int width) { dropDownWidth_ = width; }
  // Makes `path` the chosen folder: the text becomes its full path.
  void chooseFolder(const QString& path);

  void showPopup() override;
  void hidePopup() override;

 private:
  void chooseIndex(const QModelIndex& index);

  QFileSystemModel* folders_;
  QTreeView* tree_;
  int dropDownWidth_ = 434;
};

}  // namespace app
