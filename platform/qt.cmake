# Runtime services on Qt: the picture box and its rasterizers, the palette,
# event pumping, and the twips arithmetic of the window's layout.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_library(ljgas_platform STATIC
  picture_box.cpp
  picture_box.h
  raster.cpp
  palette.cpp
  event_pump.cpp
  twips.cpp
)
set_target_properties(ljgas_platform PROPERTIES AUTOMOC ON)
target_include_directories(ljgas_platform PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ljgas_platform PUBLIC Qt6::Widgets)
ljgas_warnings(ljgas_platform)
