 a:
b: NOP # x
JMP end
frob
end:
