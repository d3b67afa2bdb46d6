# Creates the Wine prefix PREFIX unless it is there already, and waits until Wine has written
# it out; then gives it the fonts below. Run with WINEPREFIX=PREFIX in the environment.
if(NOT EXISTS "${PREFIX}/system.reg")
  execute_process(COMMAND wineboot -i RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "wineboot -i failed (${result})")
  endif()
  # With DPI, the prefix's displays have that many dots per inch.
  if(DPI)
    execute_process(COMMAND wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD
                            /d ${DPI} /f OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
endif()

# The faces a Windows machine carries for text in other scripts, which Uniscribe's fallback and
# GDI's font linking ask for by name, as the Debian fonts the install script brings. Without
# them Devanagari, Chinese and Japanese come out as boxes. Arabic, Hebrew and Thai need no
# name: Wine finds a font for their character sets. Wine 8's GDI draws nothing of a colour
# bitmap font such as Noto Color Emoji: "Segoe UI Emoji" and "Segoe UI Symbol" are Symbola,
# black and white. A prefix made before this list changed gets it too: the list is written
# into the prefix and imported again whenever it differs from the one there.
set(replacements
  "Mangal=Lohit Devanagari" "Nirmala UI=Lohit Devanagari"
  "Microsoft YaHei=WenQuanYi Micro Hei" "Microsoft YaHei UI=WenQuanYi Micro Hei"
  "SimSun=WenQuanYi Micro Hei" "MS Song=WenQuanYi Micro Hei" "PMingLiU=WenQuanYi Micro Hei"
  "MS Gothic=WenQuanYi Micro Hei" "MS UI Gothic=WenQuanYi Micro Hei"
  "MS Mincho=WenQuanYi Micro Hei" "Yu Gothic=WenQuanYi Micro Hei"
  "Yu Gothic UI=WenQuanYi Micro Hei" "Meiryo=WenQuanYi Micro Hei"
  "Malgun Gothic=WenQuanYi Micro Hei" "Gulim=WenQuanYi Micro Hei"
  "Leelawadee UI=Loma" "Leelawadee=Loma"
  "Segoe UI Emoji=Symbola" "Segoe UI Symbol=Symbola")
# WORKAROUND: Wine 8's Uniscribe has no fallback font for emoji or for combining marks, which
# "MS Sans Serif" (Liberation Sans here) lacks: both showed as boxes. It reads one from
# Software\Wine\Uniscribe\Fallback under the script's OpenType tag in hex, "0" for those
# without one (these two among them): the face of Windows' emoji, which draws both.
set(fallbacks "0=Segoe UI Emoji")
set(reg "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n")
foreach(pair IN LISTS replacements)
  string(REPLACE "=" "\"=\"" pair "${pair}")
  string(APPEND reg "\"${pair}\"\n")
endforeach()
string(APPEND reg "\n[HKEY_CURRENT_USER\\Software\\Wine\\Uniscribe\\Fallback]\n")
foreach(pair IN LISTS fallbacks)
  string(REPLACE "=" "\"=\"" pair "${pair}")
  string(APPEND reg "\"${pair}\"\n")
endforeach()
set(file "${PREFIX}/ticker-fonts.reg")
set(previous "")
if(EXISTS "${file}")
  file(READ "${file}" previous)
endif()
if(NOT previous STREQUAL reg)
  # Kept under its name only once imported, so that a failed import is tried again.
  file(WRITE "${file}.new" "${reg}")
  execute_process(COMMAND wine reg import "${file}.new" OUTPUT_QUIET ERROR_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME "${file}.new" "${file}")
endif()

# wine returns before the server has saved the registry.
execute_process(COMMAND wineserver -w)
if(NOT EXISTS "${PREFIX}/system.reg")
  message(FATAL_ERROR "no Wine prefix in ${PREFIX}")
endif()
