# The source tree's layers. Every folder of code has a short name, and every library sees only
# the folders below it: r512_layer_view() builds, in the build tree, a folder of links to exactly
# the folders a library may include from and puts that folder on the library's include path. An
# include that runs up a layer (say "ui/CommandSet.h" from src/core/device) then finds no file
# and fails to build.
set(R512_FOLDER_base ${PROJECT_SOURCE_DIR}/src/core/base)
set(R512_FOLDER_serial ${PROJECT_SOURCE_DIR}/src/core/serial)
set(R512_FOLDER_device ${PROJECT_SOURCE_DIR}/src/core/device)
set(R512_FOLDER_ui ${PROJECT_SOURCE_DIR}/src/core/ui)
set(R512_FOLDER_qt ${PROJECT_SOURCE_DIR}/src/qt)
set(R512_FOLDER_win32 ${PROJECT_SOURCE_DIR}/src/win32)
set(R512_FOLDER_simulator ${PROJECT_SOURCE_DIR}/src/simulator)
set(R512_FOLDER_ctl ${PROJECT_SOURCE_DIR}/src/ctl)
set(R512_FOLDER_mqtt ${PROJECT_SOURCE_DIR}/src/mqtt)
set(R512_FOLDER_daemon ${PROJECT_SOURCE_DIR}/src/daemon)
set(R512_FOLDER_http ${PROJECT_SOURCE_DIR}/src/daemon/http)

# r512_layer_view(TARGET <folder names...>): TARGET and whatever links to it include
# "<folder>/<file>.h" for each named folder, and nothing else of src/.
function(r512_layer_view target)
    set(view ${CMAKE_BINARY_DIR}/layers/${target})
    file(REMOVE_RECURSE ${view})
    file(MAKE_DIRECTORY ${view})
    foreach(folder ${ARGN})
        if(NOT DEFINED R512_FOLDER_${folder})
            message(FATAL_ERROR "r512_layer_view: no folder named ${folder}")
        endif()
        file(CREATE_LINK ${R512_FOLDER_${folder}} ${view}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${view})
endfunction()
