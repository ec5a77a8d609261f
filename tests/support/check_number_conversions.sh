#!/bin/sh
# Fails when a program source turns numbers into text or text into numbers with the C library or
# the standard streams. Those follow the process's locale, which QApplication takes from the
# environment, so a "," appears where "." is meant and back. The program's conversions live in
# engine/number_text.h ("." always) and workspace/locale_numbers.h (the user's locale).
set -u
root=${1:?usage: check_number_conversions.sh SOURCE_DIR}

for dir in engine typeset workspace app; do
    if [ ! -d "$root/$dir" ]; then
        echo "missing source folder $root/$dir"
        exit 2
    fi
done

calls='\b[a-z]*(printf|scanf)[[:space:]]*\('
calls="$calls"'|\bstrto(d|f|ld|l|ll|ul|ull|imax|umax)[[:space:]]*\('
calls="$calls"'|\bato(f|i|l|ll)[[:space:]]*\('
calls="$calls"'|\bsto(i|l|ll|ul|ull|f|d|ld)[[:space:]]*\('
calls="$calls"'|\bto_w?string[[:space:]]*\('
streams='\b(basic_)?[io]?stringstream\b|\bstrstream\b'
streams="$streams"'|\bstd::(cout|cerr|clog|cin|locale|setprecision|num_put|num_get)\b'
streams="$streams"'|#[[:space:]]*include[[:space:]]*<(sstream|iostream|istream|ostream|iomanip|strstream|cstdio|stdio\.h|clocale|locale\.h)>'
# Qt's own "."-only reading of a number belongs to the one "."-only parse; the locale's reading
# to the one locale parse.
qt='\.(toDouble|toFloat)[[:space:]]*\('

hits=$(cd "$root" && grep -rnE --include='*.cpp' --include='*.h' "$calls|$streams" \
           engine typeset workspace app)
qthits=$(cd "$root" && grep -rnE --include='*.cpp' --include='*.h' "$qt" \
             engine typeset workspace app | grep -v '^workspace/locale_numbers\.cpp:')

if [ -n "$hits$qthits" ]; then
    echo "Number conversions outside the program's own (engine/number_text.h,"
    echo "workspace/locale_numbers.h):"
    [ -n "$hits" ] && echo "$hits"
    [ -n "$qthits" ] && echo "$qthits"
    exit 1
fi
echo "No C-library or stream number conversions in engine/ typeset/ workspace/ app/."
