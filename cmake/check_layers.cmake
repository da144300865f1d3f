# Fails when a source file of one layer includes a header of a layer above it, reaches past the
# layers with a relative path, or, below the shell, includes a Qt Widgets header. Run as a build
# step (cmake -DSOURCE_DIR=<src> -P check_layers.cmake), so an upward include breaks the build.

# Lowest first: each layer may include its own headers and those of the layers before it. The
# analysis of what was read stands on the model alone.
set(layers model analysis link protocol plot shell)
set(widget_headers QtWidgets QWidget QMainWindow QApplication QLabel QPushButton QMessageBox
                   QMenu QMenuBar QPlainTextEdit QDialog QFileDialog QStyleFactory
                   QtCharts QChart QChartView)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(violations "")
set(rank 0)
foreach(layer IN LISTS layers)
    file(GLOB files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*$" "\\1" header "${line}")
            if(header MATCHES "\\.\\./")
                list(APPEND violations "${shown}: reaches out with a relative path: ${header}")
                continue()
            endif()
            string(REGEX MATCH "^[a-z]+/" target "${header}")
            string(REPLACE "/" "" target "${target}")
            list(FIND layers "${target}" target_rank)
            if(target_rank GREATER rank)
                list(APPEND violations "${shown}: ${layer} includes ${header} of the ${target} layer above it")
            endif()
            string(REGEX REPLACE "/.*$" "" qt_header "${header}")
            list(FIND widget_headers "${qt_header}" widget)
            if(NOT layer STREQUAL "shell" AND widget GREATER -1)
                list(APPEND violations "${shown}: ${layer} includes the window toolkit's ${header}")
            endif()
        endforeach()
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Layering: dependencies must point down (shell -> plot -> protocol -> link -> model; analysis -> model):\n  ${text}")
endif()
