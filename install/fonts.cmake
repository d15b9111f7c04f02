# The installer's fonts archive (resource 131): free fonts from Debian's
# packages (scripts/setup.sh installs them), each under the file name the
# installer unpacks and the region table names.
set(ZUL_FONTS
  NotoSans-Regular.otf   /usr/share/fonts/truetype/noto/NotoSans-Regular.ttf                   # fonts-noto-core
  NanumGothic.otf        /usr/share/fonts/truetype/nanum/NanumGothic.ttf                       # fonts-nanum
  Roboto-Light.otf       /usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Light.ttf  # fonts-roboto-unhinted
  Roboto-Regular.otf     /usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf
  kr.otf                 /usr/share/fonts/truetype/nanum/NanumSquareRoundR.ttf
  FZLANTYK_ZHONGCU.ttf   /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf             # fonts-droid-fallback
  FZY4JW.TTF             /usr/share/fonts-droid-fallback/truetype/DroidSansFallback.ttf
  Prompt-Medium.ttf      /usr/share/fonts/truetype/noto/NotoSansThai-Regular.ttf
  Vf-Futura.ttf          /usr/share/fonts/truetype/quicksand/Quicksand-Medium.ttf              # fonts-quicksand
)
# zul_font_source(<var> <name>): the Debian font file packed under name.
function(zul_font_source var name)
  list(FIND ZUL_FONTS ${name} at)
  if(at LESS 0)
    message(FATAL_ERROR "No font is packed as ${name}")
  endif()
  math(EXPR at "${at} + 1")
  list(GET ZUL_FONTS ${at} source)
  set(${var} ${source} PARENT_SCOPE)
endfunction()

set(_zul_fonts ${ZUL_FONTS})
set(_stage ${CMAKE_CURRENT_BINARY_DIR}/zulinst_fonts_stage)
set(_fill "")
set(_sources "")
while(_zul_fonts)
  list(POP_FRONT _zul_fonts _name _source)
  if(NOT EXISTS ${_source})
    message(FATAL_ERROR "Font ${_source} for ${_name} is missing: run scripts/setup.sh")
  endif()
  list(APPEND _fill COMMAND ${CMAKE_COMMAND} -E copy ${_source} ${_stage}/${_name})
  list(APPEND _sources ${_source})
endwhile()
zul_make_7z(zulinst_fonts ARCHIVE ${CMAKE_CURRENT_BINARY_DIR}/zulinst_fonts.7z STAGE ${_stage}
  FILL ${_fill} DEPENDS ${_sources})
