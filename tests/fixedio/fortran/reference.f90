! Reference field editing for the comparison tests: applies format texts to
! values with the Fortran runtime's own formatted input and output, so that the
! C++ interpreter of the same format texts can be checked against it.
!
! Usage: fortran_reference REQUESTS OUTPUT
!
! REQUESTS holds blocks of lines, one block per request:
!   "W n"   a write: the next line is the format text, then n value lines, each
!           "I <integer>"              an integer(8),
!           "R <integer>"              the 64-bit pattern of a real(8),
!           "A <len, cols 3-5> <text>" a text of len characters from column 7;
!   "F"     a real read: the next line is the format text, the one after it the
!           record (255 columns, blank-padded);
!   "N"     an integer read, likewise, into a 32-bit integer.
! OUTPUT gets, per request, the lines of the write, or "R <pattern>" / "I <n>"
! for a read, or "ERROR <iostat> <message>", and then a line "@@".
program reference
  use, intrinsic :: iso_fortran_env, only: int32, int64, real64
  implicit none

  integer, parameter :: linelen = 4096, textlen = 300
  character(len=linelen) :: line, fmt
  character(len=255) :: rec
  character(len=256) :: reqname, outname, msg
  integer :: req, out, ios

  if (command_argument_count() /= 2) then
    write (*, '(a)') 'usage: fortran_reference REQUESTS OUTPUT'
    stop 2
  end if
  call get_command_argument(1, reqname)
  call get_command_argument(2, outname)
  open (newunit=req, file=trim(reqname), status='old', action='read', form='formatted')
  open (newunit=out, file=trim(outname), status='replace', action='write', form='formatted')

  do
    read (req, '(a)', iostat=ios) line
    if (ios /= 0) exit
    select case (line(1:1))
    case ('W')
      call do_write(line)
    case ('F')
      call read_format_and_record()
      call do_read_real()
    case ('N')
      call read_format_and_record()
      call do_read_integer()
    case default
      write (*, '(a,a)') 'fortran_reference: unknown request: ', trim(line)
      stop 2
    end select
    write (out, '(a)') '@@'
  end do
  close (out)
  close (req)

contains

  subroutine read_format_and_record()
    read (req, '(a)') fmt
    read (req, '(a)') line
    rec = line(1:255)
  end subroutine read_format_and_record

  ! One write of n values whose kinds may alternate: the values are grouped into
  ! segments of (integers, reals, texts) so that a single WRITE statement with a
  ! nested implied-do list hands them to the format in their original order.
  subroutine do_write(head)
    character(len=*), intent(in) :: head
    integer :: n, i, k, j, nseg, last
    integer(int64), allocatable :: ivals(:), bits(:)
    real(real64), allocatable :: rvals(:)
    character(len=textlen), allocatable :: tvals(:)
    integer, allocatable :: tlen(:), ia(:), ib(:), ra(:), rb(:), ta(:), tb(:)
    integer :: ni, nr, nt, now
    character(len=1) :: kind

    read (head(3:), *) n
    read (req, '(a)') fmt
    allocate (ivals(max(n, 1)), bits(max(n, 1)), rvals(max(n, 1)), tvals(max(n, 1)), &
              tlen(max(n, 1)))
    allocate (ia(max(n, 1)), ib(max(n, 1)), ra(max(n, 1)), rb(max(n, 1)), ta(max(n, 1)), &
              tb(max(n, 1)))
    ni = 0
    nr = 0
    nt = 0
    nseg = 0
    last = 3 ! kind of the previous value: 1 integer, 2 real, 3 text
    do i = 1, n
      read (req, '(a)') line
      kind = line(1:1)
      ! a new segment starts when the kind does not follow the previous one
      ! in the order integer, real, text
      now = index('IRA', kind)
      if (now == 0) then
        write (*, '(a,a)') 'fortran_reference: unknown value: ', trim(line)
        stop 2
      end if
      if (now <= last) then
        nseg = nseg + 1
        ia(nseg) = ni + 1
        ib(nseg) = ni
        ra(nseg) = nr + 1
        rb(nseg) = nr
        ta(nseg) = nt + 1
        tb(nseg) = nt
      end if
      last = now
      select case (kind)
      case ('I')
        ni = ni + 1
        read (line(3:), *) ivals(ni)
        ib(nseg) = ni
      case ('R')
        nr = nr + 1
        read (line(3:), *) bits(nr)
        rvals(nr) = transfer(bits(nr), rvals(nr))
        rb(nseg) = nr
      case ('A')
        nt = nt + 1
        read (line(3:5), '(i3)') tlen(nt)
        tvals(nt) = line(7:)
        tb(nseg) = nt
      end select
    end do

    write (out, trim(fmt), iostat=ios, iomsg=msg) &
      ((ivals(j), j=ia(k), ib(k)), (rvals(j), j=ra(k), rb(k)), &
       (tvals(j) (1:tlen(j)), j=ta(k), tb(k)), k=1, nseg)
    if (ios /= 0) write (out, '(a,i0,1x,a)') 'ERROR ', ios, trim(msg)

  end subroutine do_write

  subroutine do_read_real()
    real(real64) :: x
    x = 0
    read (rec, trim(fmt), iostat=ios, iomsg=msg) x
    if (ios /= 0) then
      write (out, '(a,i0,1x,a)') 'ERROR ', ios, trim(msg)
    else
      write (out, '(a,i0)') 'R ', transfer(x, 0_int64)
    end if
  end subroutine do_read_real

  subroutine do_read_integer()
    integer(int32) :: n
    n = 0
    read (rec, trim(fmt), iostat=ios, iomsg=msg) n
    if (ios /= 0) then
      write (out, '(a,i0,1x,a)') 'ERROR ', ios, trim(msg)
    else
      write (out, '(a,i0)') 'I ', n
    end if
  end subroutine do_read_integer

end program reference
