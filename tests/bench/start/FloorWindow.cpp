// The floor of the start-up figures: the least a Qt 6 window of the phone's
// size costs from the program's start to its first frame. Says "first
// frame" on stdout once painted and ends, as vocamo does with
// VOCAMO_EXIT_AFTER_FIRST_FRAME.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class FloorWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Qt::darkGray);
        if (m_painted)
            return;
        m_painted = true;
        // Queued, so this paint is done first.
        QTimer::singleShot(0, [] {
            std::puts("first frame");
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    FloorWindow window;
    window.setFixedSize(360, 550);
    window.show();
    return QApplication::exec();
}
