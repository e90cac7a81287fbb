// Saves the whole X screen as a PNG: grab <file>. Used for the documentation
// screenshots taken along the user's path.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2 || !app.primaryScreen()) return 2;
    QRect area;
    if (argc >= 6) area = QRect(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    QPixmap shot = app.primaryScreen()->grabWindow(0);
    if (area.isValid()) shot = shot.copy(area);
    return shot.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
