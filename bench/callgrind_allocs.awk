# Calls from one object file (-v object=PATTERN) to the heap allocator in a callgrind profile.
# Names are given once, on the first line that uses their number.
function remember(spec, table,    id, name) {
    id = spec
    sub(/ .*/, "", id)
    if (spec ~ / /) {
        name = spec
        sub(/^[^ ]+ /, "", name)
        table[id] = name
    }
    return id
}
/^(ob|cob|cfob)=/ {
    spec = $0
    sub(/^[a-z]+=/, "", spec)
    id = remember(spec, objects)
    if ($0 ~ /^ob=/) ob = id
    next
}
/^(fn|cfn|cfi|cfl)=/ {
    spec = $0
    sub(/^[a-z]+=/, "", spec)
    if ($0 ~ /^cfn=/) callee = remember(spec, functions)
    else if ($0 ~ /^fn=/) remember(spec, functions)
    next
}
/^calls=/ {
    n = $1
    sub(/^calls=/, "", n)
    if (objects[ob] ~ object && functions[callee] ~ /^(malloc|calloc|realloc|operator new)/)
        allocations += n
    next
}
END { print allocations + 0 }
