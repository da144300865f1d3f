#include "shell/application.h"

#include <QApplication>
#include <QStyleFactory>

#include "model/scope_state.h"
#include "plot/graticule.h"
#include "shell/main_window.h"

namespace curvalon {

int runApplication(QApplication& app) {
    // Fusion draws button backgrounds from the palette on every platform, so channel colours show.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setApplicationName(QStringLiteral("Curvalon"));
    MainWindow window;
    ScopeState state;
    initTables(state, window.backColor());
    drawScreenEdges(state, window.surface());
    drawGraticule(state, window.surface());
    window.show();
    return app.exec();
}

}  // namespace curvalon
