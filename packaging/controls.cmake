# The mouse button and keys a person uses, each as "what to press|what it does": the one list
# that the manual page, the Windows zip's read-me and the Debian package's description are made
# from at configure time, and that their tests (windows_zip, e2e.package) check them against.
# What it does is said in whole sentences. An entry is an element of a CMake list, so it holds
# no semicolon.
#
# Repeated by hand, to be kept in step when a key is added or changed:
# - README.md, its "Using it" list;
# - the comment on handleCharacter in src/app/keyboard.h;
# - the characters that tests/fuzz/window_procedure_fuzz.cpp sends (with j and k, the steps the
#   program also takes, which are not for users and so are not listed here).
set(HELICOID_CONTROLS
  "Left mouse button|Turns the model like a trackball. Let go while the mouse is moving and it keeps spinning, and a click (press and release on the same spot) stops it."
  "f|Fog on and off."
  "p|Outlines (wireframe) on and off."
  "Esc|Closes the window and ends the program.")

# helicoid_controls_text(<variable> MAN)
#   Sets <variable> to the list as a manual page's tagged paragraphs (.TP), a sentence a line.
# helicoid_controls_text(<variable> COLUMNS <width>)
#   Sets <variable> to the list as plain text: what to press in a column indented by two, what it
#   does beside it, wrapped so that no line is longer than <width>. No newline at the end.
function(helicoid_controls_text variable layout)
  # The column of what it does: two spaces after the longest of what to press.
  set(column 0)
  foreach(entry IN LISTS HELICOID_CONTROLS)
    string(FIND "${entry}" "|" length)
    if(length GREATER column)
      set(column ${length})
    endif()
  endforeach()
  math(EXPR column "${column} + 4")
  string(REPEAT " " ${column} indent)

  set(lines)
  foreach(entry IN LISTS HELICOID_CONTROLS)
    string(REGEX MATCH "^([^|]*)\\|(.*)$" entry "${entry}")
    set(key "${CMAKE_MATCH_1}")
    set(does "${CMAKE_MATCH_2}")
    if(layout STREQUAL "MAN")
      string(REPLACE ". " ".\n" does "${does}")
      list(APPEND lines ".TP" ".B ${key}" "${does}")
    elseif(layout STREQUAL "COLUMNS")
      set(width "${ARGV2}")
      # What to press, padded to the column, then the words of what it does, as many to a line
      # as fit.
      string(LENGTH "  ${key}" length)
      string(SUBSTRING "${indent}" ${length} -1 gap)
      set(line "  ${key}${gap}")
      set(separator "")  # none before the first word of a line
      string(REPLACE " " ";" words "${does}")
      foreach(word IN LISTS words)
        string(LENGTH "${line}${separator}${word}" length)
        if(NOT separator STREQUAL "" AND length GREATER width)
          list(APPEND lines "${line}")
          set(line "${indent}")
          set(separator "")
        endif()
        string(APPEND line "${separator}${word}")
        set(separator " ")
      endforeach()
      list(APPEND lines "${line}")
    else()
      message(FATAL_ERROR "helicoid_controls_text: no layout called \"${layout}\"")
    endif()
  endforeach()
  list(JOIN lines "\n" text)
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
