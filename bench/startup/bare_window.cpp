// The floor of the start-up benchmark: a bare toolkit program with one frameless window that
// shows one JPEG (the path is the argument), decoded when the program starts.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {
class PictureWindow : public QWidget {
 public:
  explicit PictureWindow(QImage image) : image_(std::move(image)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(image_.size());
  }
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }
 private:
  QImage image_;
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  QFile f(QString::fromLocal8Bit(argv[1]));
  if (!f.open(QIODevice::ReadOnly)) return 1;
  QImage image = QImage::fromData(f.readAll(), "JPG");
  if (image.isNull()) return 1;
  PictureWindow w(image);
  w.setWindowTitle("bare");
  w.show();
  return app.exec();
}
