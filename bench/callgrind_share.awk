# Self cost (instructions) per object file of a callgrind profile, as "cost<TAB>object" lines.
# Object names are given once, on the first ob=, cob= or cfob= line of their number.
/^(ob|cob|cfob)=/ {
    text = $0
    sub(/^[a-z]+=/, "", text)
    id = text
    sub(/ .*/, "", id)
    if (text ~ / /) {
        name = text
        sub(/^[^ ]+ /, "", name)
        names[id] = name
    }
    if ($0 ~ /^ob=/) ob = id
    next
}
# The cost line after calls= is the inclusive cost of that call, not the caller's own.
/^calls=/ { skip = 1; next }
/^[0-9+*-]/ {
    if (skip) { skip = 0; next }
    cost[ob] += $2
    next
}
END { for (o in cost) printf "%d\t%s\n", cost[o], (o in names ? names[o] : o) }
