# The single-line changes of one C++ source file, one a line:
#   LINE <TAB> KIND <TAB> TEXT
# TEXT replaces line LINE; for KIND "swap" lines LINE and LINE+1 change places and TEXT is empty.
# Kinds: "flip" (== and != exchanged), "loosen" (< and <=, > and >= exchanged), "logic" (&& and
# || exchanged), "negate" (the condition of an if or while negated), "drop" (a call statement
# removed), "swap" (two call statements exchanged), "constant" (a decimal constant moved by one
# towards zero, 0 to 1).
# String and character literals and comments are never changed; preprocessor lines, declarations
# at namespace level and tables of constants are left alone.

function masked(text,    out, i, c, quote) {
  # The line with the insides of literals replaced by "x" and a trailing comment cut: positions
  # stay the same, so that a match in the mask is a match in the line.
  out = ""
  quote = ""
  for (i = 1; i <= length(text); i++) {
    c = substr(text, i, 1)
    if (quote != "") {
      if (c == "\\") {
        out = out "xx"
        i++
        continue
      }
      if (c == quote) {
        quote = ""
        out = out c
      } else {
        out = out "x"
      }
      continue
    }
    if (c == "\"" || c == "'") {
      quote = c
      out = out c
      continue
    }
    if (c == "/" && substr(text, i + 1, 1) == "/") {
      return out
    }
    out = out c
  }
  return out
}

function balanced(text,    i, c, depth) {
  depth = 0
  for (i = 1; i <= length(text); i++) {
    c = substr(text, i, 1)
    if (c == "(") depth++
    if (c == ")") depth--
    if (depth < 0) return 0
  }
  return depth == 0
}

function emit(number, kind, text) {
  printf "%d\t%s\t%s\n", number, kind, text
}

# Every occurrence of `from` in the mask gives a change to `to` in the line.
function exchange(number, line, mask, from, to, kind,    start, at) {
  start = 1
  while ((at = index(substr(mask, start), from)) > 0) {
    at += start - 1
    emit(number, kind, substr(line, 1, at - 1) to substr(line, at + length(from)))
    start = at + length(from)
  }
}

# A statement that is one call and nothing else: "name(...);", "object.name(...);",
# "pointer->name(...);".
function is_call(mask) {
  if (mask !~ /^[ ]*[A-Za-z_][A-Za-z0-9_:.>\[\]-]*\(.*\);[ ]*$/) return 0
  if (mask ~ /^[ ]*(return|if|while|for|switch|case|delete|throw|static_cast)[ (]/) return 0
  return balanced(mask)
}


# Decimal constants outside literals and names.
function constants(number, line, mask,    rest, offset, at, before, after, value) {
  rest = mask
  offset = 0
  while (match(rest, /[0-9]+/)) {
    at = offset + RSTART
    before = at > 1 ? substr(mask, at - 1, 1) : " "
    after = substr(mask, at + RLENGTH, 1)
    if (before !~ /[A-Za-z0-9_.x]/ && after !~ /[A-Za-z0-9_.x]/) {
      value = substr(mask, at, RLENGTH)
      emit(number, "constant", substr(line, 1, at - 1) (value > 0 ? value - 1 : 1) substr(line, at + RLENGTH))
    }
    offset = at + RLENGTH - 1
    rest = substr(mask, offset + 1)
  }
}

{
  line[NR] = $0
  mask[NR] = masked($0)
}

END {
  for (n = 1; n <= NR; n++) {
    m = mask[n]
    if (m ~ /^[ ]*(#|\/\/|\*|namespace|using|template|struct|class|enum|extern|const char)/) continue
    if (m ~ /^[ ]*$/) continue
    # A named constant: only its value moves.
    if (m ~ /^[ ]*(static |inline )?constexpr /) {
      constants(n, line[n], m)
      continue
    }
    exchange(n, line[n], m, " == ", " != ", "flip")
    exchange(n, line[n], m, " != ", " == ", "flip")
    exchange(n, line[n], m, " < ", " <= ", "loosen")
    exchange(n, line[n], m, " <= ", " < ", "loosen")
    exchange(n, line[n], m, " > ", " >= ", "loosen")
    exchange(n, line[n], m, " >= ", " > ", "loosen")
    exchange(n, line[n], m, " && ", " || ", "logic")
    exchange(n, line[n], m, " || ", " && ", "logic")
    if (match(m, /^[ ]*(\} else )?(if|while) \(.*\) \{[ ]*$/)) {
      lp = index(m, "(")
      rp = 0
      for (i = length(m); i > lp; i--) {
        if (substr(m, i, 1) == ")") {
          rp = i
          break
        }
      }
      condition = substr(m, lp + 1, rp - lp - 1)
      if (rp > lp && balanced(condition)) {
        emit(n, "negate", substr(line[n], 1, lp) "!(" substr(line[n], lp + 1, rp - lp - 1) ")" substr(line[n], rp))
      }
    }
    if (is_call(m)) {
      emit(n, "drop", "")
    }
    if (n < NR && is_call(m) && is_call(mask[n + 1]) && line[n] != line[n + 1]) {
      indent = match(m, /[^ ]/)
      if (indent == match(mask[n + 1], /[^ ]/)) {
        emit(n, "swap", "")
      }
    }
    constants(n, line[n], m)
  }
}
