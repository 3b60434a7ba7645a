#include "app/ui/folder_combo_box.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

namespace app {

namespace {

// Enter in the tree chooses the current folder.
class FolderTree : public QTreeView {
 public:
  using QTreeView::QTreeView;
  std::function<void(const QModelIndex&)> onChoose;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && onChoose) {
      onChoose(currentIndex());
      return;
    }
    if (e->key() == Qt::Key_Escape) {
      hide();
      return;
    }
    QTreeView::keyPressEvent(e);
  }
};

}  // namespace

FolderComboBox::FolderComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setRootPath(QDir::rootPath());

  auto* tree = new FolderTree;
  tree->setWindowFlags(Qt::Popup);
  tree->setModel(folders_);
  tree->setRootIndex(folders_->index(QDir::rootPath()).parent());
  tree->setHeaderHidden(true);
  for (int column = 1; column < folders_->columnCount(); ++column) tree->hideColumn(column);
  tree->onChoose = [this](const QModelIndex& index) { chooseIndex(index); };
  connect(tree, &QTreeView::doubleClicked, this, &FolderComboBox::chooseIndex);
  tree_ = tree;
}

void FolderComboBox::chooseFolder(const QString& path) {
  setEditText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void FolderComboBox::chooseIndex(const QModelIndex& index) {
  if (index.isValid()) chooseFolder(folders_->filePath(index));
  hidePopup();
}

void FolderComboBox::showPopup() {
  const QModelIndex current = folders_->index(currentText());
  if (current.isValid()) {
    tree_->setCurrentIndex(current);
    tree_->scrollTo(current);
  }
  tree_->resize(std::max(width(), dropDownWidth_), 300);
  tree_->move(mapToGlobal(QPoint(0, height())));
  tree_->show();
  tree_->setFocus();
}

void FolderComboBox::hidePopup() {
  tree_->hide();
  QComboBox::hidePopup();
}

}  // namespace app
