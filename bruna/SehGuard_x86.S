/* int bruna_seh_call(void (*fn)(void*), void* context), cdecl.
   Links a registration record at fs:0 around the call; the handler
   (bruna_seh_handler32) resumes at bruna_seh_resume32 with the stack
   pointer saved in the record. */
    .text
    .p2align 4
    .globl _bruna_seh_call
    .globl _bruna_seh_resume32
_bruna_seh_call:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl %ebp                      /* record.ebp */
    pushl $0                        /* record.esp, set below */
    pushl $_bruna_seh_handler32     /* record.handler */
    pushl %fs:0                     /* record.previous */
    movl %esp, 8(%esp)
    movl %esp, %fs:0
    pushl 12(%ebp)
    call *8(%ebp)
    addl $4, %esp
    movl $1, %eax
.Lunlink:
    movl (%esp), %ecx
    movl %ecx, %fs:0
    addl $16, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
_bruna_seh_resume32:
    xorl %eax, %eax
    jmp .Lunlink
