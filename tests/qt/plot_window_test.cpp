#include <QPainter>
#include <QSpinBox>
#include <cmath>

#include "ui/form_option.h"
#include "ui/qt/qt_canvas.h"
#include "ui/session_actions.h"
#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

// A window of no width or height places nothing, on screen as on the saved page; a sound window
// does draw (the control).
TEST(QtCanvas, AWindowOfNoExtentDrawsNothing) {
  auto drawn = [](double right) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      QtCanvas canvas(painter, QRectF(0, 0, 40, 40));
      canvas.SetWindow(0, 1, right, 0);
      canvas.Line(0, 0.5, 1, 0.5);
      canvas.Rectangle(0, 0, 1, 1);
      canvas.Point(0.5, 0.5);
      canvas.MoveTo(0.5, 0.5);
      canvas.Text("x");
    }
    return Inked(image);
  };
  EXPECT_EQ(drawn(0), 0);
  EXPECT_GT(drawn(1), 0);
}

// The context menu offers the picture to keep; each Save asks for the size, then for the file.
TEST(PlotWindow, ContextMenuSavesAtTheChosenSizeAndADraggedRectangleZooms) {
  QTemporaryDir dir;
  ShownWindow shown;
  MainWindow& window = shown.window;
  Trigger(window, "mnuSimulate");
  PlotWindow& plot = *window.plotWindow();
  EXPECT_EQ(plot.contextMenuPolicy(), Qt::ActionsContextMenu);
  shown.answerer.other = [](QWidget& size) {
    size.findChild<QSpinBox*>("width")->setValue(800);
    size.findChild<QSpinBox*>("height")->setValue(600);
    QMetaObject::invokeMethod(&size, "accept", Qt::QueuedConnection);
  };
  const auto save = [&](const char* name, QString typed) {
    shown.answerer.file = [&](QFileDialog&) { return dir.filePath(typed); };
    for (QAction* action : plot.actions())
      if (action->objectName() == name) action->trigger();
  };

  save("plotSaveSvg", "plot");  // the format's extension is added
  QFile svg(dir.filePath("plot.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray document = svg.readAll();
  EXPECT_TRUE(
      document.contains("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"600\""));
  EXPECT_TRUE(document.contains(">I /A  1E-5</text>"));

  save("plotSavePng", "plot.png");
  const QImage image(dir.filePath("plot.png"));
  EXPECT_EQ(image.size(), QSize(800, 600));
  EXPECT_GT(Inked(image, 2), 200);

  // A dot inside the name is no extension: the file is named and written as the menu item says.
  save("plotSavePdf", "cv_0.1Vs");
  QFile pdf(dir.filePath("cv_0.1Vs.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
  EXPECT_FALSE(QFile::exists(dir.filePath("cv_0.1Vs")));

  // A rectangle dragged over the frame draws the curves within it, without touching the options;
  // the read-out names the point under the mouse; a double-click, or the next picture, goes back.
  const display::PlotFrame frame = *plot.shownPicture().frame();
  auto at = [&](double x, double y) {
    return QPoint(qRound(frame.UOf(x) * plot.width()), qRound(frame.VOf(y) * plot.height()));
  };
  const model::PlotSettings before = window.session().plot;

  QTest::mousePress(&plot, Qt::LeftButton, Qt::NoModifier, at(0.1, 6e-5));
  QTest::mouseMove(&plot, at(0, 3e-5));
  QTest::mouseMove(&plot, at(-0.1, 1e-5));
  const QString readOutBefore = plot.shownReadOut();
  EXPECT_EQ(readOutBefore, plot.ReadOut(at(-0.1, 1e-5)));
  QTest::mouseRelease(&plot, Qt::LeftButton, Qt::NoModifier, at(-0.1, 1e-5));
  ASSERT_TRUE(plot.zoomed());
  // The read-out names the point under the unmoved mouse in the closer look, not the last one.
  EXPECT_EQ(plot.shownReadOut(), plot.ReadOut(at(-0.1, 1e-5)));
  EXPECT_NE(plot.shownReadOut(), readOutBefore);
  const display::PlotFrame& view = *plot.shownPicture().frame();
  // To a pixel of the window.
  const double dx = 1.5 * std::fabs(frame.right - frame.left) / plot.width();
  const double dy = 1.5 * (frame.top - frame.bottom) / plot.height();
  EXPECT_NEAR(view.xMin, -0.1, dx);
  EXPECT_NEAR(view.xMax, 0.1, dx);
  EXPECT_NEAR(view.yMin, 1e-5, dy);
  EXPECT_NEAR(view.yMax, 6e-5, dy);
  EXPECT_EQ(window.session().plot.xMin, before.xMin);
  EXPECT_EQ(window.session().plot.yMax, before.yMax);
  EXPECT_TRUE(window.session().Option().Xauto.value);

  const QString readOut = plot.ReadOut(QPointF(plot.width() / 2.0, plot.height() / 2.0));
  EXPECT_TRUE(readOut.startsWith("E = ") && readOut.contains(" V   I = ") && readOut.endsWith(" A"))
      << readOut.toStdString();
  EXPECT_TRUE(plot.ReadOut(QPointF(1, 1)).isEmpty());  // outside the frame

  QTest::mouseMove(&plot, at(0, 3e-5));
  const QString zoomedReadOut = plot.shownReadOut();
  QTest::mouseDClick(&plot, Qt::LeftButton, Qt::NoModifier, at(0, 3e-5));
  EXPECT_FALSE(plot.zoomed());
  EXPECT_EQ(plot.shownReadOut(), plot.ReadOut(at(0, 3e-5)));
  EXPECT_NE(plot.shownReadOut(), zoomedReadOut);
  EXPECT_EQ(plot.shownPicture().frame()->xMin, frame.xMin);

  QTest::mousePress(&plot, Qt::LeftButton, Qt::NoModifier, at(0.1, 6e-5));
  QTest::mouseRelease(&plot, Qt::LeftButton, Qt::NoModifier, at(-0.1, 1e-5));
  ASSERT_TRUE(plot.zoomed());
  Trigger(window, "mnuPlot");
  EXPECT_FALSE(plot.zoomed());

  // New curves on new axes under a mouse that has not moved: the read-out is read off them.
  const QPoint still = at(0.05, 2e-5);
  QTest::mouseMove(&plot, still);
  ASSERT_EQ(plot.shownReadOut(), plot.ReadOut(still));
  const QString oldAxes = plot.shownReadOut();
  ASSERT_FALSE(oldAxes.isEmpty());
  kivex::testing::Type(window.session(), "FormExpr.C(1)", "3e-3");
  Trigger(window, "mnuSimulate");
  EXPECT_EQ(plot.shownReadOut(), plot.ReadOut(still));
  EXPECT_NE(plot.shownReadOut(), oldAxes);
  EXPECT_TRUE(shown.answerer.texts.empty());
}

}  // namespace
}  // namespace kivex::ui::qt
