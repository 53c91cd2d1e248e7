#!/bin/sh
# help_for_man.sh PROGRAM ARGS...: runs PROGRAM; its --help comes out in the
# shapes help2man reads. A "Usage:" line followed by indented lines becomes
# "Usage: first" and "  or: next" lines (the SYNOPSIS), and when no
# "Options:" heading exists one goes before the first "... options:" heading,
# so the option groups form the OPTIONS section.
program=$1
shift
[ "$*" = --help ] || exec "$program" "$@"
"$program" --help | awk '
  { text[NR] = $0 }
  /^Options:$/ { hasOptions = 1 }
  END {
    for (i = 1; i <= NR; ++i) {
      if (text[i] == "Usage:" && text[i + 1] ~ /^ +[^ ]/) {
        prefix = "Usage: "
        while (text[i + 1] ~ /^ +[^ ]/) {
          line = text[++i]
          sub(/^ +/, "", line)
          print prefix line
          prefix = "  or: "
        }
        continue
      }
      if (!hasOptions && tolower(text[i]) ~ /^[^ ].*options:$/) {
        print "Options:"
        print ""
        hasOptions = 1
      }
      print text[i]
    }
  }'
