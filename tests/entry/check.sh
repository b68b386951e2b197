#!/bin/bash
# What a built saver runs before its processor check has passed, read from
# the file itself (no Wine). The entry point must be VornStart, and neither
# VornStart nor anything it calls directly (short of the C runtime's entry,
# which runs only after the check) may hold an SSE, MMX or x87 instruction.
# The TLS callbacks, which Windows runs before the entry point, must hold no
# SSE or MMX instruction; x87 instructions are allowed there, since every
# processor the saver runs on has the x87 unit (at process start the C
# runtime's callbacks only initialise a critical section and compute nothing
# in floating point). Calls through pointers are not followed:
# there they lead into system DLLs, or to the C runtime's entry. A 64-bit
# saver is checked for its entry point only: every x86-64 processor has SSE2.
# Usage: check.sh <objdump> <saver>
set -uo pipefail
objdump="$1" saver="$2"
[ -f "$saver" ] || { echo "FAIL: $saver is missing"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

headers=$("$objdump" -p "$saver")
base=$(awk '/^ImageBase/ { print $2 }' <<<"$headers")
if grep -q 'PE32+' <<<"$headers"; then width=8 callbacks_at=24 scan=0; else width=4 callbacks_at=12 scan=1; fi

# read_pointer <hex address>: the pointer stored there, in hex.
read_pointer() {
    local from=$((16#$1))
    "$objdump" -s --start-address="$from" --stop-address=$((from + width)) "$saver" |
        awk -v w="$width" '/^ [0-9a-f]+ / { hex = $2 $3; exit }
            END { for (i = 2 * w - 1; i > 0; i -= 2) out = out substr(hex, i, 2); print out }'
}

roots=("entry:$("$objdump" -f "$saver" | sed -n 's/^start address 0x//p')")
tls_rva=$(awk '/Thread Storage Directory/ { print $3 }' <<<"$headers")
if [ -n "$tls_rva" ] && [ $((16#$tls_rva)) -ne 0 ]; then
    at=$(printf '%x' $((16#$base + 16#$tls_rva + callbacks_at)))
    list=$(read_pointer "$at")
    while [ $((16#$list)) -ne 0 ]; do
        callback=$(read_pointer "$list")
        [ $((16#$callback)) -eq 0 ] && break
        roots+=("tls:$callback")
        list=$(printf '%x' $((16#$list + width)))
    done
fi

# The shipped saver carries no symbols: they come from the debug file beside
# it (Vorn.scr.debug, same addresses), and name the stripped file's code
# the way objdump names the code of a file that has them: each symbol's
# line before its first instruction, and each direct jump or call target as
# the symbol it falls in.
symbols="$saver.debug"
[ -f "$symbols" ] || symbols="$saver"
text=$("$objdump" -h "$symbols" | awk '$2 == ".text" { print $1 + 1, $4; exit }')
read -r text_index text_vma <<<"$text"
# (mawk has no strtonum.)
hex='function hex(s,   v, i) { sub(/^0x/, "", s); for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1; return v }'
"$objdump" -t "$symbols" | awk -v sec="$text_index" -v vma="$text_vma" "$hex"'
    $0 ~ "\\(sec +" sec "\\)" && $(NF - 1) ~ /^0x/ && $NF !~ /^\./ { printf "%.0f %s\n", hex($(NF - 1)) + hex(vma), $NF }' |
    sort -u -k1,1n >"$work/symbols"
symbolized() {
    "$objdump" -d --no-show-raw-insn "$saver" | awk "$hex"'
        NR == FNR { n++; addr[n] = $1 + 0; name[n] = $2; exact[$1] = $2; next }
        function containing(a,   lo, hi, mid) {
            lo = 1; hi = n
            if (n == 0 || a < addr[1]) return ""
            while (lo < hi) { mid = int((lo + hi + 1) / 2); if (addr[mid] <= a) lo = mid; else hi = mid - 1 }
            return name[lo]
        }
        /^[0-9a-f]+ <.+>:$/ { next }
        /^ +[0-9a-f]+:\t/ {
            at = $1; sub(/:$/, "", at)
            key = sprintf("%.0f", hex(at))
            if (key in exact) printf "%s <%s>:\n", at, exact[key]
            line = $0; sub(/ <[^>]*>$/, "", line)
            if (match(line, /\t(call|jmp|j[a-z]+) +(0x)?[0-9a-f]+$/)) {
                k = split(line, field, /[ \t]+/)
                target = containing(hex(field[k]))
                if (target != "") line = line " <" target ">"
            }
            print line; next
        }
        { print }' "$work/symbols" -
}

symbolized | awk -v roots="${roots[*]}" -v scan=$scan '
    function bare(name) { sub(/^_/, "", name); sub(/@[0-9]+$/, "", name); return name }
    function address(hex) { sub(/^0+/, "", hex); return hex }
    /^[0-9a-f]+ <.+>:$/ {
        name = substr($2, 2, length($2) - 3)
        at[address($1)] = name
        next
    }
    /^ +[0-9a-f]+:\t/ && name != "" {
        line = $0
        sub(/^[^\t]*\t/, "", line)
        split(line, word, /[ \t]+/)
        op = word[1]
        if (line ~ /%[xyz]?mm[0-9]/ || op ~ /^(ld|st)mxcsr$|^[lms]fence$|^movnt|^prefetch|^clflush|^maskmov|^f?emms$/)
            sse[name] = sse[name] ? sse[name] : line
        else if (op ~ /^f/ && op !~ /^fx(save|rstor)/)
            x87[name] = x87[name] ? x87[name] : line
        if (op ~ /^(call|jmp|j[a-z]+)$/ && match(line, /<[^>+]+/))
            calls[name] = calls[name] " " substr(line, RSTART + 1, RLENGTH - 1)
    }
    END {
        n = split(roots, root, " ")
        for (i = 1; i <= n; i++) {
            split(root[i], part, ":")
            kind = part[1]
            start = at[address(part[2])]
            if (start == "") { print "FAIL: no symbol at the " kind " address " part[2]; bad = 1; continue }
            if (kind == "entry" && bare(start) != "VornStart") {
                print "FAIL: the entry point is " start ", not VornStart"; bad = 1
            }
            if (!scan) continue
            queue[1] = start; head = 1; tail = 1; delete seen; seen[start] = 1; names = ""
            while (head <= tail) {
                f = queue[head++]
                names = names " " f
                if (sse[f]) { print "FAIL: " kind " code " f " holds SSE: " sse[f]; bad = 1 }
                if (kind == "entry" && x87[f]) { print "FAIL: entry code " f " holds x87: " x87[f]; bad = 1 }
                m = split(calls[f], callee, " ")
                for (j = 1; j <= m; j++) {
                    g = callee[j]
                    if (seen[g] || bare(g) == "WinMainCRTStartup") continue
                    seen[g] = 1; queue[++tail] = g
                }
            }
            print "checked (" kind "):" names
        }
        exit bad
    }'
status=$?
[ $status -eq 0 ] && echo "ok: $saver starts at VornStart$([ $scan = 1 ] &&
    echo "; nothing before its processor check uses SSE")"
exit $status
