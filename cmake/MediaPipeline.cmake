# The picture pipeline and the data archive.
#
# Pictures are SVG: every art/<path>.svg renders 1:1 to game/media/<path>.png, and the
# generators in tools/art write further SVGs (tiles, backgrounds) that render the same way.
# A generator rewrites only the SVGs whose text changed, and Ninja re-checks outputs after each
# step, so a source change renders again only the pictures that depend on it. Every built media
# file is recorded (quovel_media_output) in media-manifest.txt, which the tests read, and the
# archive media.dat is packed from the whole media tree whenever one of them changes.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QUOVEL_RSVG_CONVERT rsvg-convert REQUIRED)

set(QUOVEL_MEDIA_DIR ${PROJECT_BINARY_DIR}/game/media)
set(QUOVEL_ART_TOOLS ${PROJECT_SOURCE_DIR}/tools/art)
set(QUOVEL_ART_GENERATED ${PROJECT_BINARY_DIR}/art)
set(QUOVEL_GEOMETRY ${PROJECT_SOURCE_DIR}/media/properties/mahjong.xml)

# A build may copy the finished media of another build of the same sources instead of making
# them again (the sanitizer build takes the normal build's: its instrumented tools are slow):
# QUOVEL_MEDIA_FROM names that build tree, which must be built first. The rules that make the
# media are then left out, and every media target waits for the copy.
set(QUOVEL_MEDIA_FROM "" CACHE PATH "A built tree whose media this build copies")
if(QUOVEL_MEDIA_FROM)
  if(NOT EXISTS ${QUOVEL_MEDIA_FROM}/game/media.dat)
    message(FATAL_ERROR "QUOVEL_MEDIA_FROM: ${QUOVEL_MEDIA_FROM} holds no built media")
  endif()
  # That tree packs its archive again whenever one of its media files changes.
  set(stamp ${PROJECT_BINARY_DIR}/media-copied.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUOVEL_MEDIA_FROM}/game/media ${QUOVEL_MEDIA_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUOVEL_MEDIA_FROM}/game/splash
            ${PROJECT_BINARY_DIR}/game/splash
    COMMAND ${CMAKE_COMMAND} -E copy ${QUOVEL_MEDIA_FROM}/game/media.dat
            ${PROJECT_BINARY_DIR}/game/media.dat
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUOVEL_MEDIA_FROM}/review ${PROJECT_BINARY_DIR}/review
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${QUOVEL_MEDIA_FROM}/game/media.dat
    COMMENT "Copying the media of ${QUOVEL_MEDIA_FROM}"
    VERBATIM)
  add_custom_target(media-copy DEPENDS ${stamp})
endif()

# A target that makes the given media files, or waits for their copy.
function(quovel_media_target target)
  if(QUOVEL_MEDIA_FROM)
    add_custom_target(${target} ALL)
    add_dependencies(${target} media-copy)
  else()
    add_custom_target(${target} ALL DEPENDS ${ARGN})
  endif()
endfunction()

# Records a built file of the media tree (path relative to game/), for the archive and the
# media tests.
function(quovel_media_output relative)
  set_property(GLOBAL APPEND PROPERTY QUOVEL_MEDIA_OUTPUTS ${relative})
endfunction()

# Renders one SVG to media/<relative>.png.
function(quovel_render_svg svg relative)
  quovel_media_output(media/${relative}.png)
  if(QUOVEL_MEDIA_FROM)
    return()
  endif()
  set(png ${QUOVEL_MEDIA_DIR}/${relative}.png)
  get_filename_component(folder ${png} DIRECTORY)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${QUOVEL_RSVG_CONVERT} ${svg} -o ${png}
    DEPENDS ${svg}
    COMMENT "Rendering media/${relative}.png"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY QUOVEL_ART_PNGS ${png})
endfunction()

# Hand-written pictures.
file(GLOB_RECURSE QUOVEL_HAND_SVGS CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/art
     ${PROJECT_SOURCE_DIR}/art/*.svg)
foreach(name IN LISTS QUOVEL_HAND_SVGS)
  string(REGEX REPLACE "\\.svg$" "" relative ${name})
  if(relative MATCHES "^splash/")
    continue()
  endif()
  quovel_render_svg(${PROJECT_SOURCE_DIR}/art/${name} ${relative})
endforeach()

# The splash scene reads its pictures and its branding file by path from game/splash, outside
# the media tree and its archive: art/splash/*.svg render there, the branding file is copied.
file(GLOB QUOVEL_SPLASH_SVGS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/art/splash/*.svg)
foreach(svg IN LISTS QUOVEL_SPLASH_SVGS)
  if(QUOVEL_MEDIA_FROM)
    break()
  endif()
  get_filename_component(stem ${svg} NAME_WE)
  set(png ${PROJECT_BINARY_DIR}/game/splash/${stem}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/game/splash
    COMMAND ${QUOVEL_RSVG_CONVERT} ${svg} -o ${png}
    DEPENDS ${svg}
    COMMENT "Rendering splash/${stem}.png"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY QUOVEL_ART_PNGS ${png})
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/art/splash/branding.xml
               ${PROJECT_BINARY_DIR}/game/splash/branding.xml COPYONLY)

# Generated pictures: each generator lists the SVGs it writes; a change of its script asks
# CMake to list again.
set(QUOVEL_ART_LIB ${QUOVEL_ART_TOOLS}/artlib.py)
foreach(generator tiles backgrounds elevator hallway rooms recroom trophies logo)
  set(script ${QUOVEL_ART_TOOLS}/${generator}.py)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${script} ${QUOVEL_ART_LIB})
  execute_process(COMMAND ${Python3_EXECUTABLE} -B ${script} --list
                  OUTPUT_VARIABLE names RESULT_VARIABLE listed
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT listed EQUAL 0)
    message(FATAL_ERROR "tools/art/${generator}.py cannot list its pictures")
  endif()
  string(REPLACE "\n" ";" names "${names}")
  set(svgs "")
  foreach(name IN LISTS names)
    if(name IN_LIST QUOVEL_HAND_SVGS)
      message(FATAL_ERROR "art/${name} and tools/art/${generator}.py make the same picture")
    endif()
    list(APPEND svgs ${QUOVEL_ART_GENERATED}/${name})
  endforeach()
  if(NOT QUOVEL_MEDIA_FROM)
    add_custom_command(
      OUTPUT ${svgs}
      COMMAND ${Python3_EXECUTABLE} -B ${script} ${QUOVEL_GEOMETRY} ${QUOVEL_ART_GENERATED}
      DEPENDS ${script} ${QUOVEL_ART_LIB} ${QUOVEL_GEOMETRY}
      COMMENT "Drawing the ${generator} pictures"
      VERBATIM)
  endif()
  foreach(name IN LISTS names)
    string(REGEX REPLACE "\\.svg$" "" relative ${name})
    quovel_render_svg(${QUOVEL_ART_GENERATED}/${name} ${relative})
  endforeach()
endforeach()

get_property(QUOVEL_ART_PNG_LIST GLOBAL PROPERTY QUOVEL_ART_PNGS)
quovel_media_target(art-media ${QUOVEL_ART_PNG_LIST})

# Contact sheets of the four tile sets, for review: review/tileset-<n>.png in the build tree.
set(QUOVEL_CONTACT_SHEETS "")
foreach(set 1 2 3 4)
  if(QUOVEL_MEDIA_FROM)
    break()
  endif()
  set(sheet ${PROJECT_BINARY_DIR}/review/tileset-${set})
  add_custom_command(
    OUTPUT ${sheet}.png
    COMMAND ${Python3_EXECUTABLE} -B ${QUOVEL_ART_TOOLS}/contact.py ${QUOVEL_GEOMETRY}
            ${QUOVEL_MEDIA_DIR}/images/tiles/tile.png
            ${QUOVEL_MEDIA_DIR}/images/tiles/symbols${set}.png ${set} ${sheet}.svg
    COMMAND ${QUOVEL_RSVG_CONVERT} ${sheet}.svg -o ${sheet}.png
    DEPENDS ${QUOVEL_ART_TOOLS}/contact.py ${QUOVEL_ART_LIB} ${QUOVEL_ART_TOOLS}/tiles.py
            ${QUOVEL_MEDIA_DIR}/images/tiles/tile.png
            ${QUOVEL_MEDIA_DIR}/images/tiles/symbols${set}.png
    COMMENT "Contact sheet of tile set ${set}"
    VERBATIM)
  list(APPEND QUOVEL_CONTACT_SHEETS ${sheet}.png)
endforeach()
quovel_media_target(contact-sheets ${QUOVEL_CONTACT_SHEETS})

# At the end of the configuration, once every part has recorded its outputs: the manifest and
# the archive, packed from a copy of the finished media tree.
function(quovel_finish_media)
  get_property(outputs GLOBAL PROPERTY QUOVEL_MEDIA_OUTPUTS)
  list(SORT outputs)
  string(REPLACE ";" "\n" manifest "${outputs}")
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/media-manifest.txt CONTENT "${manifest}\n")

  set(built "")
  foreach(relative IN LISTS outputs)
    list(APPEND built ${PROJECT_BINARY_DIR}/game/${relative})
  endforeach()
  file(GLOB_RECURSE authored CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/media/*)
  if(QUOVEL_MEDIA_FROM)
    quovel_media_target(media-archive)
    # The authored files are copied in first, so the two copies never write the same file at once.
    add_dependencies(media-copy game-media)
    add_dependencies(quovel-mahjong media-archive)
    return()
  endif()
  set(stage ${PROJECT_BINARY_DIR}/archive-stage)
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/game/media.dat
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUOVEL_MEDIA_DIR} ${stage}/media
    # Music is streamed from its loose files, never from the archive.
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}/media/music
    COMMAND pack-archive ${stage} ${PROJECT_BINARY_DIR}/game/media.dat
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    DEPENDS pack-archive ${built} ${authored}
    COMMENT "Packing media.dat"
    VERBATIM)
  add_custom_target(media-archive ALL DEPENDS ${PROJECT_BINARY_DIR}/game/media.dat)
  # The authored files are copied into the tree before it is packed.
  add_dependencies(media-archive game-media art-media font-media sound-media)
  add_dependencies(quovel-mahjong media-archive)
endfunction()
cmake_language(DEFER CALL quovel_finish_media)
