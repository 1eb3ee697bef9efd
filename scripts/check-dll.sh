#!/bin/sh
# Checks the shipped 32-bit DLL from the file alone, since it cannot run
# here: machine type, exactly the exported names of the export list, and
# only allowed imports.
# Usage: check-dll.sh vorda.dll vorda.def vorda.h
set -eu
dll="$1"; def="$2"; header="$3"
objdump=x86_64-w64-mingw32-objdump
fail=0
dump=$($objdump -p "$dll")

echo "$dump" | grep -q 'file format pei-i386' || { echo "FAIL: $dll is not an i386 PE file"; fail=1; }

expected=$(sed -n '/^EXPORTS/,$p' "$def" | tail -n +2 | awk 'NF {print $1}' | sort)
actual=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 |
         sed -n 's/.*\] *\([^ ]*\)$/\1/p' | sort)
if [ "$expected" != "$actual" ]; then
  echo "FAIL: exported names differ from the export list"
  echo "expected:"; echo "$expected"; echo "actual:"; echo "$actual"; fail=1
fi
for name in $expected; do
  grep -q "VORDA_API $name(" "$header" || { echo "FAIL: $name is not declared in $header"; fail=1; }
done

allowed='^(gdi32|user32|kernel32|msvcrt|ole32|oleaut32|opengl32|glu32|tarnapi)\.dll$'
for imp in $(echo "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  echo "$imp" | grep -Eq "$allowed" || { echo "FAIL: $dll imports $imp"; fail=1; }
done
echo "$dump" | grep -qi 'DLL Name: tarnapi.dll' || { echo "FAIL: tarnapi.dll is not imported"; fail=1; }

versions=$(strings -el "$dll" | grep -c '^VS_VERSION_INFO$' || true)
[ "$versions" = 1 ] || { echo "FAIL: $versions version blocks (want 1)"; fail=1; }
strings -el "$dll" | grep -qx '2.0.0.7' || { echo "FAIL: version string 2.0.0.7 missing"; fail=1; }

n=$(echo "$expected" | wc -l)
if [ $fail = 0 ]; then echo "i386 DLL: $n exports by plain name, imports allowed, one version block 2.0.0.7"; fi
exit $fail
