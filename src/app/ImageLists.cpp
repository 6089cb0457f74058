#include "ImageLists.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 250);
const QColor kFolder(232, 188, 72);
const QColor kBlue(52, 101, 164);
const QColor kGreen(78, 154, 6);
const QColor kRed(204, 0, 0);
const QColor kGrey(136, 138, 133);

using Drawing = std::function<void(QPainter&)>;

QIcon draw(const Drawing& drawing) {
  QPixmap pixmap(kImageSize, kImageSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kInk, 1));
  drawing(painter);
  return QIcon(pixmap);
}

void page(QPainter& p, QRectF r) {
  QPainterPath path;
  const qreal fold = r.width() / 3;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter& p, QRectF r, int lines) {
  p.save();
  p.setPen(QPen(kGrey, 1));
  for (int i = 0; i < lines; ++i) {
    qreal y = r.top() + 1.5 + i * 2.5;
    p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
  }
  p.restore();
}

void folder(QPainter& p, QRectF r) {
  p.setBrush(kFolder.darker(115));
  p.drawRect(QRectF(r.left(), r.top(), r.width() / 2, 3));
  p.setBrush(kFolder);
  p.drawRect(QRectF(r.left(), r.top() + 2, r.width(), r.height() - 2));
}

void floppy(QPainter& p, QRectF r) {
  p.setBrush(kBlue);
  p.drawRect(r);
  p.setBrush(kPaper);
  p.drawRect(QRectF(r.left() + 2.5, r.top(), r.width() - 5, r.height() * 0.45));
  p.setBrush(kGrey);
  p.drawRect(QRectF(r.left() + 3.5, r.bottom() - 4.5, r.width() - 7, 4.5));
}

void magnifier(QPainter& p, QPointF centre, qreal radius) {
  p.save();
  p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.8, radius * 1.8));
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(QColor(190, 220, 250));
  p.drawEllipse(centre, radius, radius);
  p.restore();
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  p.save();
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  QLineF line(to, from);
  QLineF wing1 = line;
  wing1.setLength(4);
  wing1.setAngle(line.angle() + 35);
  QLineF wing2 = line;
  wing2.setLength(4);
  wing2.setAngle(line.angle() - 35);
  p.drawLine(wing1);
  p.drawLine(wing2);
  p.restore();
}

void curvedArrow(QPainter& p, bool forward) {
  p.save();
  p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (forward) {
    path.moveTo(3, 14);
    path.cubicTo(3, 5, 12, 4, 14, 9);
  } else {
    path.moveTo(15, 14);
    path.cubicTo(15, 5, 6, 4, 4, 9);
  }
  p.drawPath(path);
  QPointF tip = forward ? QPointF(14, 10) : QPointF(4, 10);
  qreal side = forward ? -1 : 1;
  p.drawLine(tip, tip + QPointF(side * 4, -1));
  p.drawLine(tip, tip + QPointF(side * -0.5, -4.5));
  p.restore();
}

void window(QPainter& p, QRectF r) {
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setBrush(kBlue);
  p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
}

QVector<Drawing> buttonDrawings() {
  QVector<Drawing> d(ButtonImage::Count);
  using namespace ButtonImage;
  d[Open] = [](QPainter& p) {
    folder(p, QRectF(1.5, 4.5, 14, 10));
    arrow(p, QPointF(10, 9), QPointF(15, 3), kGreen);
  };
  d[Save] = [](QPainter& p) { floppy(p, QRectF(2.5, 2.5, 13, 13)); };
  d[New] = [](QPainter& p) {
    page(p, QRectF(3.5, 1.5, 11, 15));
    p.setPen(QPen(kFolder.darker(130), 1.5));
    p.drawLine(QPointF(13, 11), QPointF(17, 15));
    p.drawLine(QPointF(17, 11), QPointF(13, 15));
  };
  d[Preferences] = [](QPainter& p) {
    p.setBrush(kGrey);
    for (int i = 0; i < 8; ++i) {
      p.save();
      p.translate(9, 9);
      p.rotate(i * 45);
      p.drawRect(QRectF(-1.5, -8, 3, 4));
      p.restore();
    }
    p.drawEllipse(QPointF(9, 9), 5, 5);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(9, 9), 2, 2);
  };
  d[SaveAll] = [](QPainter& p) {
    floppy(p, QRectF(1.5, 1.5, 10, 10));
    floppy(p, QRectF(6.5, 6.5, 10, 10));
  };
  d[Build] = [](QPainter& p) {
    p.setBrush(QColor(180, 90, 50));
    p.drawRect(QRectF(1.5, 11.5, 7, 5));
    p.drawRect(QRectF(9.5, 11.5, 7, 5));
    p.drawRect(QRectF(5.5, 6.5, 7, 5));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(12, 1), QPointF(16, 5));
    p.drawLine(QPointF(14, 3), QPointF(9, 8));
  };
  d[TileHorizontal] = [](QPainter& p) {
    window(p, QRectF(2.5, 1.5, 13, 7));
    window(p, QRectF(2.5, 9.5, 13, 7));
  };
  d[TileVertical] = [](QPainter& p) {
    window(p, QRectF(1.5, 2.5, 7, 13));
    window(p, QRectF(9.5, 2.5, 7, 13));
  };
  d[Arrange] = [](QPainter& p) {
    window(p, QRectF(2.5, 2.5, 13, 9));
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 13.5, 6, 3));
    p.drawRect(QRectF(9.5, 13.5, 6, 3));
  };
  d[Cascade] = [](QPainter& p) {
    window(p, QRectF(1.5, 1.5, 10, 8));
    window(p, QRectF(4.5, 4.5, 10, 8));
    window(p, QRectF(7.5, 7.5, 10, 8));
  };
  d[Cut] = [](QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(5, 1), QPointF(12, 11));
    p.drawLine(QPointF(13, 1), QPointF(6, 11));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(5, 14), 3, 3);
    p.drawEllipse(QPointF(13, 14), 3, 3);
  };
  d[Copy] = [](QPainter& p) {
    page(p, QRectF(1.5, 1.5, 9, 11));
    page(p, QRectF(7.5, 5.5, 9, 11));
    textLines(p, QRectF(7.5, 8, 6, 8), 3);
  };
  d[Paste] = [](QPainter& p) {
    p.setBrush(QColor(170, 120, 60));
    p.drawRect(QRectF(1.5, 2.5, 11, 14));
    p.setBrush(kGrey);
    p.drawRect(QRectF(4.5, 1.5, 5, 3));
    page(p, QRectF(7.5, 6.5, 9, 10));
  };
  d[Find] = [](QPainter& p) { magnifier(p, QPointF(7, 7), 4.5); };
  d[Replace] = [](QPainter& p) {
    magnifier(p, QPointF(6, 6), 4);
    arrow(p, QPointF(9, 15), QPointF(17, 15), kGreen);
  };
  d[Delete] = [](QPainter& p) {
    p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(14, 14));
    p.drawLine(QPointF(14, 4), QPointF(4, 14));
  };
  d[SelectAll] = [](QPainter& p) {
    page(p, QRectF(2.5, 1.5, 13, 15));
    p.setBrush(QColor(52, 101, 164, 120));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(4, 5, 10, 9));
  };
  d[Undo] = [](QPainter& p) { curvedArrow(p, false); };
  d[Redo] = [](QPainter& p) { curvedArrow(p, true); };
  d[FindInFiles] = [](QPainter& p) {
    folder(p, QRectF(1.5, 2.5, 13, 10));
    magnifier(p, QPointF(10, 10), 3.5);
  };
  d[SearchAgain] = [](QPainter& p) {
    magnifier(p, QPointF(6, 6), 4);
    arrow(p, QPointF(10, 15), QPointF(17, 10), kBlue);
  };
  d[SetActive] = [](QPainter& p) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
      qreal radius = i % 2 == 0 ? 8 : 3.5;
      QLineF ray(QPointF(9, 9.5), QPointF(9, 0));
      ray.setLength(radius);
      ray.setAngle(90 + i * 36);
      if (i == 0)
        star.moveTo(ray.p2());
      else
        star.lineTo(ray.p2());
    }
    star.closeSubpath();
    p.setBrush(QColor(252, 200, 40));
    p.drawPath(star);
  };
  d[Launch] = [](QPainter& p) {
    QPolygonF play;
    play << QPointF(4, 2) << QPointF(16, 9) << QPointF(4, 16);
    p.setBrush(kGreen);
    p.drawPolygon(play);
  };
  d[GotoLine] = [](QPainter& p) {
    textLines(p, QRectF(6, 1.5, 12, 16), 6);
    arrow(p, QPointF(1, 9), QPointF(8, 9), kRed);
  };
  d[Print] = [](QPainter& p) {
    page(p, QRectF(4.5, 1.5, 9, 7));
    p.setBrush(kGrey);
    p.drawRoundedRect(QRectF(1.5, 7.5, 15, 7), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 12.5, 9, 4));
  };
  return d;
}

QVector<Drawing> treeDrawings() {
  QVector<Drawing> d(TreeViewImage::Count);
  using namespace TreeViewImage;
  d[Project] = [](QPainter& p) {
    p.setBrush(QColor(200, 160, 100));
    p.drawRect(QRectF(2.5, 6.5, 13, 10));
    p.setBrush(QColor(225, 190, 130));
    QPolygonF lid;
    lid << QPointF(2.5, 6.5) << QPointF(5.5, 2.5) << QPointF(15.5, 2.5) << QPointF(15.5, 6.5);
    p.drawPolygon(lid);
  };
  d[Folder] = [](QPainter& p) { folder(p, QRectF(1.5, 3.5, 15, 12)); };
  d[File] = [](QPainter& p) {
    page(p, QRectF(3.5, 1.5, 11, 15));
    textLines(p, QRectF(3.5, 6, 9, 10), 4);
  };
  d[Root] = [](QPainter& p) {
    p.setBrush(QColor(200, 160, 100));
    p.drawRect(QRectF(1.5, 9.5, 8, 7));
    p.drawRect(QRectF(8.5, 9.5, 8, 7));
    p.drawRect(QRectF(5, 2.5, 8, 7));
  };
  d[Structure] = [](QPainter& p) {
    p.setBrush(kBlue);
    p.drawRect(QRectF(2.5, 2.5, 13, 13));
    p.setPen(QPen(kPaper, 1.5));
    p.drawLine(QPointF(5, 7), QPointF(13, 7));
    p.drawLine(QPointF(5, 11), QPointF(13, 11));
  };
  d[Member] = [](QPainter& p) {
    QPolygonF diamond;
    diamond << QPointF(9, 3) << QPointF(15, 9) << QPointF(9, 15) << QPointF(3, 9);
    p.setBrush(QColor(117, 80, 123));
    p.drawPolygon(diamond);
  };
  return d;
}

QVector<QIcon> drawAll(const QVector<Drawing>& drawings) {
  QVector<QIcon> icons;
  for (const Drawing& drawing : drawings)
    icons.push_back(draw(drawing));
  return icons;
}

} // namespace

QVector<QIcon> MakeButtonImageList() { return drawAll(buttonDrawings()); }
QVector<QIcon> MakeTreeViewList() { return drawAll(treeDrawings()); }
