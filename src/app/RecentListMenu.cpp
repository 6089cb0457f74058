#include "RecentListMenu.h"

#include "RecentList.h"

#include <QMenu>

RecentListMenu::RecentListMenu(RecentList& mru, QMenu& menu) : QObject(&menu), mru_(mru), menu_(menu) {
  mru_.OnChange = [this] { Sync(); };
  Sync();
}

void RecentListMenu::Sync() {
  const auto count = static_cast<qsizetype>(mru_.Entries().size());
  if (mru_.ShowsSeparator() && separator_ == nullptr) separator_ = menu_.addSeparator();
  while (items_.size() < count) {
    QAction* item = menu_.addAction(QString());
    connect(item, &QAction::triggered, this, [this, item] {
      auto index = static_cast<std::size_t>(items_.indexOf(item));
      auto click = [this, index] { mru_.Click(index); };
      if (runGuarded)
        runGuarded(click);
      else
        click();
    });
    items_.push_back(item);
  }
  while (items_.size() > count) {
    QAction* item = items_.takeLast();
    menu_.removeAction(item);
    item->deleteLater(); // it may be the item whose click is running
  }
  for (qsizetype i = 0; i < count; ++i)
    items_[i]->setText(QString::fromStdString(mru_.Caption(static_cast<std::size_t>(i))));
  if (!mru_.ShowsSeparator() && separator_ != nullptr) {
    menu_.removeAction(separator_);
    separator_->deleteLater();
    separator_ = nullptr;
  }
}
