# duplane_platform_library(name): a static library of the *.cc files in the
# calling folder, without those of the other system (*_linux.cc on Windows,
# *_win.cc elsewhere). Its headers are named from src/ ("port/tioport.h").
function(duplane_platform_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_linux\\.cc$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cc$")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
